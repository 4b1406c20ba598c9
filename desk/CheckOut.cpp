#include "CheckOut.h"

#include "Clock.h"
#include "Sql.h"
#include "WriteTransaction.h"

#include <QSqlQuery>

QList<LiveStay> loadLiveStays(const QSqlDatabase &db)
{
    QSqlQuery query
        = Sql::exec(db, QStringLiteral("SELECT ID, RoomStr FROM GuestInRecord WHERE enOverride = 0 ORDER BY ID"));
    QList<LiveStay> stays;
    while (query.next())
        stays.append({ query.value(0).toLongLong(), query.value(1).toString() });
    return stays;
}

namespace {

// The guard on enOverride keeps a stay closed elsewhere from being closed twice.
bool closeStayIn(qint64 stayId, const QSqlDatabase &db)
{
    QSqlQuery query = Sql::prepare(
        db, QStringLiteral("UPDATE GuestInRecord SET enOverride = 1, LeaveTime = ? WHERE ID = ? AND enOverride = 0"));
    Sql::bindDateTime(query, 0, Clock::now());
    query.bindValue(1, stayId);
    Sql::exec(query);
    return query.numRowsAffected() > 0;
}

} // namespace

bool closeStay(qint64 stayId, const QSqlDatabase &db)
{
    WriteTransaction tx(db);
    const bool closed = closeStayIn(stayId, db);
    tx.commit();
    return closed;
}

int quickCheckOut(const QStringList &roomStrs, const QSqlDatabase &db)
{
    int closed = 0;
    for (const QString &roomStr : roomStrs) {
        WriteTransaction tx(db);
        QSqlQuery first = Sql::exec(db,
            QStringLiteral("SELECT ID FROM GuestInRecord WHERE enOverride = 0 AND RoomStr = ? ORDER BY ID"),
            { roomStr });
        const qint64 id = first.next() ? first.value(0).toLongLong() : 0;
        first.finish();
        if (id != 0 && closeStayIn(id, db))
            ++closed;
        tx.commit();
    }
    return closed;
}
