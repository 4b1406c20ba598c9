#pragma once

class QSqlDatabase;

// Opens the data module's connection as Keldrix.ini says: ConnType 0 an
// SQLite file (DbPath, by default db/lock.db beside the program), 1 the
// PostgreSQL database qzvlock on ServerName. Failures are silent (a missing
// file excepted, which says "文件不存在！"); the driver's text stays on the
// connection for the first statement's error box.
bool openDatabase();

// What every connection of the program runs once it is open: WAL, busy
// timeout and DateDiff on SQLite; lock timeout and the desk's time zone on
// PostgreSQL. Throws DbError.
void configureConnection(const QSqlDatabase &db);

// Copies the embedded file's write-ahead log back into the file, taking what
// it can without waiting for another desk. The desk calls it while idle, so
// that no commit waits for it; a commit does it only once the log has grown
// past its bound. Nothing on a server or inside a transaction; never throws.
void checkpointWhileIdle(const QSqlDatabase &db);

// The log a commit leaves to the idle checkpoint, in pages.
constexpr int WalCommitCheckpointPages = 10000;
