#pragma once

#include <QStringView>

// Whether text holds a letter written right to left (Hebrew, Arabic and the like).
bool HoldsRightToLeft(QStringView text);
