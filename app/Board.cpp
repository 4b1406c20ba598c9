#include "Board.h"

#include "Sql.h"

namespace {
// Result columns read by position.
constexpr int RoomStrColumn = 0;
constexpr int RoomStateIdColumn = 6;
constexpr int GuestInTimeColumn = 14;
} // namespace

int boardImageIndex(int roomStateId, bool hasLiveStay)
{
    if (roomStateId == 1)
        return hasLiveStay ? 3 : 1;
    if (roomStateId == 0)
        return hasLiveStay ? 2 : 0;
    return 0;
}

QString boardStatement(const BoardFilter &filter)
{
    QStringList lines {
        QStringLiteral("Select I.*,G.GuestLeaveTime,G.LeaveTime,G.GuestName,G.GuestID,"),
        QStringLiteral("G.InputTime,G.InputUser,G.Rom,G.GuestInTime from"),
        QStringLiteral("(Select I.RoomStr,I.Room,I.Buiding,I.Floor,I.District,"),
        QStringLiteral("S.State_Title as RoomState,S.ID as RoomStateID"),
        QStringLiteral("from RoomInfo I,RoomStateType S"),
        QStringLiteral("Where I.RoomState=S.ID) I"),
        QStringLiteral("left join "),
        QStringLiteral("(select * from GuestInRecord"),
        QStringLiteral("where enOverride=0) G"),
        QStringLiteral("On I.Room=G.Room"),
    };
    QStringList filterLines;
    if (filter.building)
        filterLines << QStringLiteral("I.Buiding=?");
    if (filter.floor) {
        if (!filterLines.isEmpty())
            filterLines << QStringLiteral("and");
        filterLines << QStringLiteral("I.Floor=?");
    }
    if (!filterLines.isEmpty())
        filterLines.prepend(QStringLiteral("where"));
    lines << filterLines;
    lines << QStringLiteral("ORDER BY I.Buiding,I.Floor,I.ROOM");
    return lines.join(QLatin1Char('\n'));
}

QList<BoardItem> readBoard(const QSqlDatabase &db, const BoardFilter &filter)
{
    QVariantList values;
    if (filter.building)
        values << *filter.building;
    if (filter.floor)
        values << *filter.floor;
    QSqlQuery query = Sql::exec(db, boardStatement(filter), values);
    QList<BoardItem> items;
    while (query.next()) {
        const QVariant stateId = query.value(RoomStateIdColumn);
        const bool live = !query.value(GuestInTimeColumn).isNull();
        items.append(BoardItem {
            query.value(RoomStrColumn).toString(), boardImageIndex(stateId.isNull() ? -1 : stateId.toInt(), live) });
    }
    query.finish();
    return items;
}
