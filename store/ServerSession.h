#pragma once

#include <QSqlDatabase>

// What the desk knows of its server session without asking the server.
namespace ServerSession {

// Tells one session from the next: a connection closed and opened again, or
// replaced, gets another identity. Empty for SQLite or a closed connection.
struct Identity {
    const void *connection = nullptr;
    int backendPid = 0;
    bool operator==(const Identity &) const = default;
};
Identity identity(const QSqlDatabase &db);

// True when a refused statement aborted the open transaction: the server
// would answer COMMIT with a silent rollback.
bool transactionAborted(const QSqlDatabase &db);

} // namespace ServerSession
