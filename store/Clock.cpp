#include "Clock.h"

namespace {
QDateTime fixedNow;
}

namespace Clock {

QDateTime now()
{
    QDateTime t = fixedNow.isValid() ? fixedNow : QDateTime::currentDateTime();
    const QTime tm = t.time();
    t.setTime(QTime(tm.hour(), tm.minute(), tm.second()));
    return t;
}

void set(const QDateTime &fixed)
{
    fixedNow = fixed;
}

void reset()
{
    fixedNow = QDateTime();
}

} // namespace Clock
