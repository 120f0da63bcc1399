#pragma once

#include <QString>

#include <ostream>

// Lets GoogleTest show the texts it compares.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
