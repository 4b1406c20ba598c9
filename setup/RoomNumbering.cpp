#include "RoomNumbering.h"

#include "Identifiers.h"
#include "Sql.h"

#include <QSet>

namespace Rooms {

namespace {
bool digitsOnly(const QString &text)
{
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !text.isEmpty();
}
} // namespace

TwoDigits FormatStrTo2Digits(const QString &typed)
{
    const QString notNumber = QString::fromUtf8("请输入数字。");
    bool ok = false;
    const int value = typed.toInt(&ok, 10);
    if (!ok)
        return { {}, notNumber };
    if (value <= 0)
        return { {}, QString::fromUtf8("楼号或楼层不能为0。") };
    // A sign or a blank would end up inside the system room number.
    if (!digitsOnly(typed))
        return { {}, notNumber };
    return { TwoDigitForm(typed), {} };
}

QList<int> freeRoomNumbers(const QSqlDatabase &db, int building, int floor)
{
    QSqlQuery query = Sql::exec(
        db, QStringLiteral("SELECT RoomNumber FROM RoomInfo WHERE Buiding = ? AND Floor = ?"), { building, floor });
    QSet<int> taken;
    while (query.next())
        taken.insert(query.value(0).toInt());
    QList<int> free;
    for (int n = 1; n <= 99; ++n)
        if (!taken.contains(n))
            free << n;
    return free;
}

NewRoom newRoom(const QString &buildingTyped, const QString &floorTyped, int roomNumber)
{
    NewRoom room;
    room.systemRoomStr = SystemRoomStr(buildingTyped, floorTyped, roomNumber);
    room.building = buildingTyped.toInt();
    room.floor = floorTyped.toInt();
    room.roomNumber = roomNumber;
    room.room = Room(buildingTyped, floorTyped, roomNumber).value_or(0);
    return room;
}

} // namespace Rooms
