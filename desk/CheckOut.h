#pragma once

#include "DataModule.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// A live stay as the check-out list shows it.
struct LiveStay {
    qint64 id = 0;
    QString roomStr;
};

// Every live stay (enOverride 0), oldest first; all rows are read before returning.
QList<LiveStay> loadLiveStays(const QSqlDatabase &db = dm().conn());

// Closes one stay: enOverride 1 and LeaveTime now. A stay another desk closed
// in the meantime keeps its LeaveTime; false then, and nothing is written.
[[nodiscard]] bool closeStay(qint64 stayId, const QSqlDatabase &db = dm().conn());

// Per door-plate, closes the room's first live stay; a room without one is
// passed over. Returns how many stays were closed.
int quickCheckOut(const QStringList &roomStrs, const QSqlDatabase &db = dm().conn());
