#pragma once

#include <QDate>

#include <memory>

struct TEnvironment;
class TReadAhead;

// The entry of date, read on another thread from now on, when it is long enough for that to
// pay: the window is built meanwhile. Null for a short entry or a day without one. The folder is
// the one the settings name, resolved as the window resolves it.
std::shared_ptr<TReadAhead> ReadEntryAhead(const TEnvironment& env, QDate date);
