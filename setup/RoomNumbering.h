#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

// How new rooms are numbered: building and floor typed by the operator, a free
// number of that floor, and the identifiers derived from them.
namespace Rooms {

// The two-digit form of a building or floor typed by the operator, or an empty
// value and the message that explains why not.
struct TwoDigits {
    QString value;
    QString message;
};
TwoDigits FormatStrTo2Digits(const QString &typed);

// Room numbers 1 to 99 not yet taken on that floor, ascending.
QList<int> freeRoomNumbers(const QSqlDatabase &db, int building, int floor);

// A room created from a free number of a floor.
struct NewRoom {
    QString systemRoomStr;
    int building = 0;
    int floor = 0;
    int roomNumber = 0;
    int room = 0;
};
// Building and floor as typed (both already accepted by FormatStrTo2Digits).
NewRoom newRoom(const QString &buildingTyped, const QString &floorTyped, int roomNumber);

} // namespace Rooms
