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
