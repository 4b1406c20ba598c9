#include "ServerSession.h"

#include "Sql.h"

#include <QSqlDriver>

#include <libpq-fe.h>

namespace {
PGconn *connectionOf(const QSqlDatabase &db)
{
    if (!Sql::isPostgres(db) || !db.isOpen())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    // The driver names the type by libpq's struct.
    if (!handle.isValid()
        || (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<PGconn *const *>(handle.constData());
}
} // namespace

namespace ServerSession {

Identity identity(const QSqlDatabase &db)
{
    PGconn *connection = connectionOf(db);
    if (!connection)
        return {};
    return { connection, PQbackendPID(connection) };
}

bool transactionAborted(const QSqlDatabase &db)
{
    PGconn *connection = connectionOf(db);
    return connection && PQtransactionStatus(connection) == PQTRANS_INERROR;
}

} // namespace ServerSession
