#include "WriteTransaction.h"

#include "DbError.h"
#include "ServerSession.h"
#include "Sql.h"

#include <QHash>
#include <QSqlQuery>

namespace {
struct OpenState {
    int depth = 0;
    bool doomed = false;
    bool refusedOnServer = false; // the server aborted the transaction
    const QSqlDriver *driver = nullptr;
};
// Keyed by connection name: one user-interface thread plus test threads that
// each use their own connection.
QHash<QString, OpenState> &openStates()
{
    thread_local QHash<QString, OpenState> states;
    return states;
}
} // namespace

WriteTransaction::WriteTransaction(const QSqlDatabase &db)
    : m_db(db)
{
    OpenState &state = openStates()[m_db.connectionName()];
    if (state.depth == 0) {
        Sql::execDirect(m_db, Sql::isSqlite(m_db) ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
        state.doomed = false;
        state.refusedOnServer = false;
        state.driver = m_db.driver();
        m_outermost = true;
    }
    ++state.depth;
}

WriteTransaction::~WriteTransaction()
{
    if (!m_done)
        rollback();
}

bool WriteTransaction::isActive(const QSqlDatabase &db)
{
    const auto it = openStates().constFind(db.connectionName());
    return it != openStates().constEnd() && it->depth > 0;
}

void WriteTransaction::noteRefusal(const QSqlDriver *driver)
{
    for (OpenState &state : openStates()) {
        if (state.depth > 0 && state.driver == driver)
            state.refusedOnServer = true;
    }
}

void WriteTransaction::commit()
{
    if (m_done)
        return;
    OpenState &state = openStates()[m_db.connectionName()];
    if (!m_outermost) {
        m_done = true;
        --state.depth;
        return;
    }
    if (state.doomed) {
        rollback();
        throw DbError(QStringLiteral("The transaction was rolled back by a failed inner operation."));
    }
    // The server answers COMMIT of a transaction that a refused statement
    // aborted with a silent rollback: that is an error here.
    if (state.refusedOnServer || ServerSession::transactionAborted(m_db)) {
        rollback();
        throw DbError(QStringLiteral("current transaction is aborted, commands ignored until end of transaction block"),
            QStringLiteral("25P02"));
    }
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("COMMIT"))) {
        const DbError error = DbError::fromQuery(query);
        rollback();
        throw error;
    }
    m_done = true;
    state.depth = 0;
}

void WriteTransaction::rollback() noexcept
{
    m_done = true;
    OpenState &state = openStates()[m_db.connectionName()];
    if (!m_outermost) {
        state.doomed = true;
        --state.depth;
        return;
    }
    state.depth = 0;
    state.doomed = false;
    QSqlQuery query(m_db);
    query.exec(QStringLiteral("ROLLBACK"));
}
