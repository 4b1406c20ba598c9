#pragma once

#include <QDateTime>

// Every "now" of the program comes from here, so that tests can fix the time.
namespace Clock {

// Local date and time; whole seconds, since nothing stored keeps less.
QDateTime now();
void set(const QDateTime &fixed); // an invalid value returns to the system clock
void reset();

} // namespace Clock
