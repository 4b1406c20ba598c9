#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

// Backup and restore of the embedded hotel database. A backup is a consistent
// snapshot of the database in use, never a copy of a live file; a restore
// installs only a file that is a database of this system, keeps the data it
// replaces beside it, and reopens the connection.

enum class BackupOutcome {
    Done,
    TargetExists, // an existing file is never touched
    ServerDatabase, // the server keeps its own backups
    Failed, // reason says why; no partial file is left
};

enum class RestoreOutcome {
    Done,
    Missing, // the chosen file does not exist; nothing touched
    NotOurs, // not a database of this system; nothing touched
    ServerDatabase,
    Failed, // reason says why; the live file is kept, the connection reopened
};

struct BackupResult {
    BackupOutcome outcome = BackupOutcome::Failed;
    QString reason;
};

struct RestoreResult {
    RestoreOutcome outcome = RestoreOutcome::Failed;
    QString reason;
    QString beforeRestoreFile; // the snapshot of the replaced data
};

// "yyMMddHHmmss_BackUp.db"
QString backupFileName(const QDateTime &when);
// "yyMMddHHmmss_BeforeRestore.db"
QString beforeRestoreFileName(const QDateTime &when);

// The file of an open SQLite connection; empty for a server database.
QString databaseFilePath(const QSqlDatabase &db);

// The folder the backup and restore dialogs start in: the database's own.
QString dialogFolder(const QSqlDatabase &db);

// Writes a snapshot of db into target, which must not exist yet.
BackupResult backupDatabase(const QSqlDatabase &db, const QString &target);

// Why source is not a hotel database of this system; empty when it is one.
QString validateHotelDatabase(const QString &source);

// Replaces the data module's database with source and reopens the connection
// through the program's connection routine.
RestoreResult restoreDatabase(const QString &source);
