#pragma once

#include "DataModule.h"
#include "TestEnv.h"

#include <QSqlDatabase>
#include <QString>

#include <memory>

// A fresh hotel database for one test, as the data module's connection: an
// SQLite file at db/lock.db of a temporary program folder, or a new database
// on the test PostgreSQL server (TARVANE_PG_*). isOpen() is false for the
// server when none is configured.
class HotelFixture {
public:
    explicit HotelFixture(bool postgres = false);
    ~HotelFixture();

    bool isOpen() const { return m_open; }
    bool isPostgres() const { return m_postgres; }
    QSqlDatabase db() const { return m_dm->conn(); }
    TestEnv &env() { return m_env; }
    QString databaseFile() const;
    // The server database's name (empty on SQLite), for a second process.
    QString serverDatabaseName() const { return m_pgName; }
    // Ends every server session on the database, as a server that went away would.
    void dropServerSessions() const;

    void addRoom(const QString &roomStr, int building, int floor, int number, int state = 0);
    void addStay(const QString &roomStr, bool closed = false);
    void addOperator(const QString &login, const QString &pass, const QStringList &rights);
    int count(const QString &table) const;

    static bool postgresConfigured();

private:
    TestEnv m_env;
    std::unique_ptr<Tdm> m_dm;
    bool m_postgres = false;
    bool m_open = false;
    QString m_pgName;
};
