#include "DbError.h"

#include <QSqlDatabase>
#include <QSqlQuery>

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

DbError DbError::fromQuery(const QSqlQuery &query)
{
    return DbError(query.lastError());
}

DbError DbError::fromDatabase(const QSqlDatabase &db)
{
    return DbError(db.lastError());
}

bool DbError::isUniqueViolation() const
{
    if (m_nativeCode == QLatin1String("2067") || m_nativeCode == QLatin1String("1555")
        || m_nativeCode == QLatin1String("23505"))
        return true;
    // QSQLITE may report the primary result code (19) only; its text is fixed.
    return m_nativeCode == QLatin1String("19") && m_text.contains(QLatin1String("UNIQUE constraint failed"));
}
