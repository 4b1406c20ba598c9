#include "Sql.h"

#include "DbError.h"
#include "ServerSession.h"
#include "WriteTransaction.h"

#include <QHash>
#include <QSqlDriver>

#include <sqlite3.h>

namespace {

// Server statements prepared once per session: preparing, running and
// releasing each would cost the desk three round trips where running costs one.
struct KeptStatements {
    ServerSession::Identity session;
    QHash<QString, QSqlQuery> bySql;
};

// A connection belongs to the thread that opened it, and so do its statements.
QHash<const QSqlDriver *, KeptStatements> &keptByDriver()
{
    thread_local QHash<const QSqlDriver *, KeptStatements> kept;
    return kept;
}

// Statements of a session that has ended are never released: releasing one
// would send its name to the session now open, and fail the transaction
// there. They are few (a connection opened again), and kept reachable.
void abandon(QHash<QString, QSqlQuery> &statements)
{
    static auto *abandoned = new QList<QSqlQuery>;
    for (QSqlQuery &query : statements)
        abandoned->append(std::move(query));
    statements.clear();
}

} // namespace

namespace Sql {

bool isSqlite(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QSQLITE");
}

bool isPostgres(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QPSQL");
}

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    if (!isSqlite(db) || !db.isOpen())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

QSqlQuery prepare(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        if (isPostgres(db))
            WriteTransaction::noteRefusal(db.driver());
        throw DbError::fromQuery(query);
    }
    return query;
}

void exec(QSqlQuery &query, const QVariantList &values)
{
    for (const QVariant &v : values)
        query.addBindValue(v);
    if (!query.exec()) {
        if (query.driver() && query.driver()->dbmsType() == QSqlDriver::PostgreSQL)
            WriteTransaction::noteRefusal(query.driver());
        throw DbError::fromQuery(query);
    }
}

// A kept statement is handed out as a copy sharing its result: the caller reads
// the rows, the session keeps the prepared statement.
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
QSqlQuery exec(const QSqlDatabase &db, const QString &sql, const QVariantList &values)
{
    if (!isPostgres(db)) {
        QSqlQuery query = prepare(db, sql);
        exec(query, values);
        return query;
    }
    const ServerSession::Identity session = ServerSession::identity(db);
    KeptStatements &kept = keptByDriver()[db.driver()];
    if (!(kept.session == session)) {
        abandon(kept.bySql);
        kept.session = session;
    }
    auto it = kept.bySql.find(sql);
    if (it == kept.bySql.end()) {
        QSqlQuery query = prepare(db, sql);
        if (session.connection)
            it = kept.bySql.insert(sql, query);
        exec(query, values);
        return query;
    }
    it->finish();
    exec(*it, values);
    return *it;
}
QT_WARNING_POP

void forgetStatements(const QSqlDatabase &db)
{
    const auto it = keptByDriver().find(db.driver());
    if (it == keptByDriver().end())
        return;
    if (it->session == ServerSession::identity(db) && db.isOpen())
        it->bySql.clear();
    else
        abandon(it->bySql);
    keptByDriver().erase(it);
}

void execDirect(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql)) {
        if (isPostgres(db))
            WriteTransaction::noteRefusal(db.driver());
        throw DbError::fromQuery(query);
    }
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
