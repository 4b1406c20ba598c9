#pragma once

#include <QSqlError>
#include <QString>

#include <stdexcept>

class QSqlQuery;
class QSqlDatabase;
struct sqlite3;

// A statement the database refused, carrying the database's own text. The
// application's event handler shows it in the standard error box.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &text, const QString &nativeCode = {});
    explicit DbError(const QSqlError &error);

    static DbError fromQuery(const QSqlQuery &query);
    static DbError fromDatabase(const QSqlDatabase &db);
    // The last refusal on a connection used through SQLite's own calls.
    static DbError fromSqlite(sqlite3 *handle);

    const QString &text() const { return m_text; }
    const QString &nativeCode() const { return m_nativeCode; }
    // A unique index refused the row (SQLite 2067/1555, SQLSTATE 23505).
    bool isUniqueViolation() const;

private:
    QString m_text;
    QString m_nativeCode;
};
