#include "DbError.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>

#include <sqlite3.h>

namespace {
QString describe(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (text.isEmpty())
        text = driver;
    if (text.isEmpty())
        text = QStringLiteral("Unknown database error");
    return text;
}
} // namespace

DbError::DbError(const QString &text, const QString &nativeCode)
    : std::runtime_error(text.toStdString())
    , m_text(text)
    , m_nativeCode(nativeCode)
{
}

DbError::DbError(const QSqlError &error)
    : DbError(describe(error), error.nativeErrorCode())
{
}

namespace {
// A statement on a connection that never opened fails without a text of its
// own; the reason the open failed is the one the operator needs.
DbError notOpen(const QSqlError &openError)
{
    if (openError.isValid())
        return DbError(openError);
    return DbError(QStringLiteral("The database is not open."));
}
} // namespace

DbError DbError::fromQuery(const QSqlQuery &query)
{
    if (query.lastError().isValid())
        return DbError(query.lastError());
    const QSqlDriver *driver = query.driver();
    return notOpen(driver ? driver->lastError() : QSqlError());
}

DbError DbError::fromDatabase(const QSqlDatabase &db)
{
    if (db.lastError().isValid())
        return DbError(db.lastError());
    return notOpen(QSqlError());
}

DbError DbError::fromSqlite(sqlite3 *handle)
{
    return DbError(QString::fromUtf8(sqlite3_errmsg(handle)), QString::number(sqlite3_extended_errcode(handle)));
}

bool DbError::isUniqueViolation() const
{
    if (m_nativeCode == QLatin1String("2067") || m_nativeCode == QLatin1String("1555")
        || m_nativeCode == QLatin1String("23505"))
        return true;
    // QSQLITE may report the primary result code (19) only; its text is fixed.
    return m_nativeCode == QLatin1String("19") && m_text.contains(QLatin1String("UNIQUE constraint failed"));
}
