#include "Board.h"

#include "DbError.h"
#include "Sql.h"

#include <sqlite3.h>

#include <memory>

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

namespace {

struct StatementFinalizer {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};

// The embedded file is read through SQLite itself: the board needs three of
// the statement's fifteen columns, and the driver would convert every one.
QList<BoardItem> readBoardFromFile(sqlite3 *handle, const QString &sql, const QList<int> &values)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &raw, nullptr) != SQLITE_OK)
        throw DbError::fromSqlite(handle);
    const std::unique_ptr<sqlite3_stmt, StatementFinalizer> statement(raw);
    for (int i = 0; i < values.size(); ++i)
        sqlite3_bind_int(raw, i + 1, values.at(i));
    QList<BoardItem> items;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
        const auto *roomStr = reinterpret_cast<const char *>(sqlite3_column_text(raw, RoomStrColumn));
        const QString room = QString::fromUtf8(roomStr, sqlite3_column_bytes(raw, RoomStrColumn));
        const int stateId
            = sqlite3_column_type(raw, RoomStateIdColumn) == SQLITE_NULL ? -1 : sqlite3_column_int(raw, RoomStateIdColumn);
        const bool live = sqlite3_column_type(raw, GuestInTimeColumn) != SQLITE_NULL;
        items.append(BoardItem { room, boardImageIndex(stateId, live) });
    }
    if (step != SQLITE_DONE)
        throw DbError::fromSqlite(handle);
    return items;
}

} // namespace

QList<BoardItem> readBoard(const QSqlDatabase &db, const BoardFilter &filter)
{
    QList<int> filterValues;
    if (filter.building)
        filterValues << *filter.building;
    if (filter.floor)
        filterValues << *filter.floor;
    if (sqlite3 *handle = Sql::sqliteHandle(db))
        return readBoardFromFile(handle, boardStatement(filter), filterValues);
    QVariantList values;
    for (const int value : filterValues)
        values << value;
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
