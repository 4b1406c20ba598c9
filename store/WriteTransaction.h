#pragma once

#include <QSqlDatabase>

// A write transaction that rolls back unless committed. On SQLite it starts
// with BEGIN IMMEDIATE, so two desks on one file wait for each other (busy
// timeout) instead of failing half-way. A guard opened while another is open
// on the same connection joins it: only the outermost one commits, and an
// inner one left uncommitted dooms the whole transaction.
class WriteTransaction
{
public:
    explicit WriteTransaction(const QSqlDatabase &db);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction &) = delete;
    WriteTransaction &operator=(const WriteTransaction &) = delete;

    void commit(); // throws DbError; the transaction is rolled back then
    bool isOutermost() const { return m_outermost; }
    const QSqlDatabase &database() const { return m_db; }

    // True while a guard is open on db.
    static bool isActive(const QSqlDatabase &db);
    // A statement the server refused on driver's connection: the server has
    // aborted the open transaction, so its commit fails.
    static void noteRefusal(const QSqlDriver *driver);

private:
    void rollback() noexcept;

    QSqlDatabase m_db;
    bool m_outermost = false;
    bool m_done = false;
};
