#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A program folder and a configuration folder of the test's own, both
// temporary, installed in the Paths seam for the life of the object. The
// encoder simulator keeps its state file in the configuration folder.
class TestEnv {
public:
    TestEnv();
    ~TestEnv();
    TestEnv(const TestEnv &) = delete;
    TestEnv &operator=(const TestEnv &) = delete;

    QString programDir() const { return m_program.path(); }
    QString configDir() const { return m_config.path(); }
    QString programFile(const QString &relative) const;
    QString profilePath() const;

    // Writes Keldrix.ini with the given text (UTF-8).
    void writeProfile(const QByteArray &content) const;
    // Copies a file or folder of the build's program folder (build/bin) into
    // the test's program folder: "libHotelLock.so", "Dll", "db/Language.db".
    void copyFromBin(const QString &relative) const;

    // The build's program folder (TARVANE_BIN_DIR, set by CTest).
    static QString binDir();

private:
    QTemporaryDir m_program;
    QTemporaryDir m_config;
    QByteArray m_oldState;
};

// A database of the test's own on the PostgreSQL server that the test script
// starts (TARVANE_PG_*), with the hotel schema when asked; dropped at the end.
class PgTestDatabase {
public:
    // True when TARVANE_PG_HOST names a server.
    static bool configured();

    explicit PgTestDatabase(bool withSchema = true);
    ~PgTestDatabase();
    PgTestDatabase(const PgTestDatabase &) = delete;
    PgTestDatabase &operator=(const PgTestDatabase &) = delete;

    const QString &name() const { return m_name; }
    // A new open connection on the database, as role tarvane (the desks'
    // role) or as the superuser, configured as the program configures its own.
    QSqlDatabase open(const QString &connectionName, bool superuser = false);

private:
    QString m_name;
    QStringList m_connections;
};
