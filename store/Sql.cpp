#include "Sql.h"

#include "DbError.h"

#include <QSqlDriver>

namespace Sql {

bool isSqlite(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QSQLITE");
}

bool isPostgres(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QPSQL");
}

QSqlQuery prepare(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw DbError::fromQuery(query);
    return query;
}

void exec(QSqlQuery &query, const QVariantList &values)
{
    for (const QVariant &v : values)
        query.addBindValue(v);
    if (!query.exec())
        throw DbError::fromQuery(query);
}

QSqlQuery exec(const QSqlDatabase &db, const QString &sql, const QVariantList &values)
{
    QSqlQuery query = prepare(db, sql);
    exec(query, values);
    return query;
}

void execDirect(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        throw DbError::fromQuery(query);
}

QVariant dateTimeValue(const QDateTime &dt)
{
    if (!dt.isValid())
        return QVariant(QMetaType(QMetaType::QString));
    return dt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void bindDateTime(QSqlQuery &query, int pos, const QDateTime &dt)
{
    query.bindValue(pos, dateTimeValue(dt));
}

void bindDateTime(QSqlQuery &query, const QString &placeholder, const QDateTime &dt)
{
    query.bindValue(placeholder, dateTimeValue(dt));
}

QDateTime readDateTime(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDateTime) {
        // QPSQL hands a timestamp without zone back as a local QDateTime of the same digits.
        const QDateTime dt = value.toDateTime();
        return QDateTime(dt.date(), dt.time());
    }
    QString text = value.toString().trimmed();
    text.replace(QLatin1Char('T'), QLatin1Char(' '));
    QDateTime dt = QDateTime::fromString(text.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!dt.isValid())
        dt = QDateTime::fromString(text.left(16), QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!dt.isValid())
        dt = QDateTime(QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
    return dt;
}

} // namespace Sql
