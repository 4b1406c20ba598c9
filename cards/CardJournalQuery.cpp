#include "CardJournalQuery.h"

#include "Sql.h"

#include <QTime>

namespace {

const QString JournalFrom = QStringLiteral("From MakeCardRecord M inner join CardType C on M.CardType=C.ID "
                                           // A half-open range on whole days keeps the InputTime index usable.
                                           "where M.InputTime >= ? and M.InputTime < ?");
const QString TypeCondition = QStringLiteral(" and CardType in (Select ID From CardType where C_Title=?)");

QString whereText(const CardJournalFilter &filter)
{
    return JournalFrom + (filter.cardTypeTitle ? TypeCondition : QString());
}

QVariantList whereValues(const CardJournalFilter &filter)
{
    QVariantList values { Sql::dateTimeValue(QDateTime(filter.from, QTime(0, 0))),
        Sql::dateTimeValue(QDateTime(filter.to.addDays(1), QTime(0, 0))) };
    if (filter.cardTypeTitle)
        values << *filter.cardTypeTitle;
    return values;
}

} // namespace

QStringList cardTypeTitles(const QSqlDatabase &db)
{
    QSqlQuery query = Sql::exec(db, QStringLiteral("select C_Title from CardType ORDER BY ID"));
    QStringList titles;
    while (query.next())
        titles << query.value(0).toString();
    return titles;
}

QSqlQuery selectCardJournal(const CardJournalFilter &filter, const QSqlDatabase &db)
{
    QSqlQuery query = Sql::prepare(db,
        QStringLiteral("select C.C_Title,M.Rom,M.Holder,M.Buiding,"
                       "M.MakeUser,M.MakeName,M.Room,M.RoomStr,M.InputTime,M.Floor,M.District,"
                       "M.StartTime,M.EndTime,M.Explain,M.enOverride ")
            + whereText(filter));
    // A grid scrolls both ways over it.
    query.setForwardOnly(false);
    Sql::exec(query, whereValues(filter));
    return query;
}

int countCardJournal(const CardJournalFilter &filter, const QSqlDatabase &db)
{
    QSqlQuery query = Sql::exec(db, QStringLiteral("select COUNT(*) ") + whereText(filter), whereValues(filter));
    return query.next() ? query.value(0).toInt() : 0;
}

QDate pruneCutoff(const QDate &today)
{
    return today.addDays(-60);
}

int pruneCardJournal(const QDate &cutoff, const QSqlDatabase &db)
{
    QSqlQuery query = Sql::exec(db, QStringLiteral("Delete From MakeCardRecord Where InputTime < ?"),
        { Sql::dateTimeValue(QDateTime(cutoff.addDays(1), QTime(0, 0))) });
    return query.numRowsAffected();
}
