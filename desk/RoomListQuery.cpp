#include "RoomListQuery.h"

#include "Sql.h"

#include <QSqlQuery>
#include <QStringList>

std::vector<RoomListRow> FindRoomList(const RoomListFilter &filter, const QSqlDatabase &db)
{
    QStringList lines {
        QStringLiteral("Select I.*,G.GuestLeaveTime,G.LeaveTime,G.GuestName,G.GuestID,"),
        QStringLiteral("G.InputTime,G.InputUser,G.Rom,G.GuestInTime from"),
        QStringLiteral("(Select I.Room,I.RoomStr,I.Buiding,I.Floor,I.District,"),
        QStringLiteral("S.State_Title as RoomState"),
        QStringLiteral("from RoomInfo I,RoomStateType S"),
        QStringLiteral("Where I.RoomState=S.ID"),
    };
    QVariantList values;
    if (filter.building) {
        lines << QStringLiteral("And I.Buiding=?");
        values << *filter.building;
    }
    if (filter.floor) {
        lines << QStringLiteral("And I.Floor=?");
        values << *filter.floor;
    }
    lines << QStringLiteral(") I left join ") << QStringLiteral("(select * from GuestInRecord")
          << QStringLiteral("where enOverride=0) G") << QStringLiteral("On I.Room=G.Room");
    if (filter.status == RoomStatusFilter::Free)
        lines << QStringLiteral("Where G.GuestInTime is Null");
    else if (filter.status == RoomStatusFilter::Occupied)
        lines << QStringLiteral("Where G.GuestInTime is not Null");
    lines << QStringLiteral("ORDER BY Buiding,Floor,I.ROOM");

    // Every row is read before returning, so no open statement keeps an old snapshot.
    QSqlQuery query = Sql::exec(db, lines.join(QLatin1Char('\n')), values);
    std::vector<RoomListRow> rows;
    while (query.next()) {
        RoomListRow row;
        row.room = query.value(0).toInt();
        row.roomStr = query.value(1).toString();
        row.building = query.value(2).toInt();
        row.floor = query.value(3).toInt();
        row.district = query.value(4).toInt();
        row.roomState = query.value(5).toString();
        row.guestLeaveTime = Sql::readDateTime(query.value(6));
        row.leaveTime = Sql::readDateTime(query.value(7));
        row.guestName = query.value(8).toString();
        row.guestId = query.value(9).toString();
        row.inputTime = Sql::readDateTime(query.value(10));
        row.inputUser = query.value(11).toString();
        row.rom = query.value(12).toString();
        row.guestInTime = Sql::readDateTime(query.value(13));
        rows.push_back(row);
    }
    return rows;
}
