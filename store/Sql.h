#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>

struct sqlite3;

// Small helpers that keep statement call sites short. Every value reaches the
// database bound, never spliced; every failure throws DbError.
namespace Sql {

bool isSqlite(const QSqlDatabase &db);
bool isPostgres(const QSqlDatabase &db);
// The open SQLite connection under db, for the few paths that read many rows
// or copy the file; null for a server or a closed connection.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

// A forward-only query prepared on db; throws when the database refuses it.
QSqlQuery prepare(const QSqlDatabase &db, const QString &sql);
// Binds values by position (after any already bound) and runs the query.
void exec(QSqlQuery &query, const QVariantList &values = {});
// Prepares, binds and runs in one step. On a server the statement stays
// prepared for the session and the next call only runs it: the result of the
// previous call of the same text ends then.
QSqlQuery exec(const QSqlDatabase &db, const QString &sql, const QVariantList &values = {});
// Releases the statements kept for db's session; called before the connection
// closes.
void forgetStatements(const QSqlDatabase &db);
// Runs a statement without values and without preparing it (BEGIN, PRAGMA, DDL).
void execDirect(const QSqlDatabase &db, const QString &sql);

// A date-time as the database keeps it: text "yyyy-MM-dd HH:mm:ss" in local
// time. QSQLITE would write a QDateTime with a "T", QPSQL through UTC.
QVariant dateTimeValue(const QDateTime &dt);
void bindDateTime(QSqlQuery &query, int pos, const QDateTime &dt);
void bindDateTime(QSqlQuery &query, const QString &placeholder, const QDateTime &dt);
// Reads a stored date-time back with its digits unchanged (no time-zone shift).
QDateTime readDateTime(const QVariant &value);

} // namespace Sql
