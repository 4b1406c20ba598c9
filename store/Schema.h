#pragma once

#include <QString>
#include <QStringList>

class QSqlDatabase;

// Creates every table, index and seed row on an empty database (either dialect).
void createSchema(const QSqlDatabase &db);
// Makes a new SQLite hotel database at path: refuses an existing file, builds
// a temporary file beside it and renames it into place. Throws DbError.
void createEmbeddedDatabase(const QString &path);
// Splits a script into statements at ';' outside quotes, comments and $$ bodies.
QStringList splitSqlScript(const QString &script);
// Registers DateDiff(unit, a, b) on an open SQLite connection.
void registerSqliteFunctions(const QSqlDatabase &db);
