#include "TestEnv.h"

#include "Connection.h"
#include "Paths.h"
#include "Schema.h"
#include "Sql.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <stdexcept>

namespace {
void copyRecursively(const QString &from, const QString &to)
{
    const QFileInfo info(from);
    if (info.isDir()) {
        QDir().mkpath(to);
        const QDir dir(from);
        for (const QString &name : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            copyRecursively(dir.filePath(name), QDir(to).filePath(name));
        return;
    }
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    if (!QFile::copy(from, to))
        throw std::runtime_error(QString("cannot copy " + from + " to " + to).toStdString());
}
} // namespace

TestEnv::TestEnv()
{
    m_oldState = qgetenv("HOTELLOCK_STATE");
    Paths::setProgramDir(m_program.path());
    Paths::setConfigDir(m_config.path());
    qputenv("HOTELLOCK_STATE", QDir(m_config.path()).filePath(QStringLiteral("hotellock.state")).toLocal8Bit());
}

TestEnv::~TestEnv()
{
    Paths::setProgramDir({});
    Paths::setConfigDir({});
    if (m_oldState.isNull())
        qunsetenv("HOTELLOCK_STATE");
    else
        qputenv("HOTELLOCK_STATE", m_oldState);
}

QString TestEnv::programFile(const QString &relative) const
{
    return QDir(m_program.path()).filePath(relative);
}

QString TestEnv::profilePath() const
{
    return QDir(m_config.path()).filePath(QStringLiteral("Keldrix.ini"));
}

void TestEnv::writeProfile(const QByteArray &content) const
{
    QFile file(profilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write Keldrix.ini");
    file.write(content);
}

void TestEnv::copyFromBin(const QString &relative) const
{
    copyRecursively(QDir(binDir()).filePath(relative), programFile(relative));
}

QString TestEnv::binDir()
{
    const QString dir = qEnvironmentVariable("TARVANE_BIN_DIR");
    if (!dir.isEmpty())
        return dir;
    return QStringLiteral(TARVANE_DEFAULT_BIN_DIR);
}

namespace {
QSqlDatabase addServerConnection(const QString &connectionName, const QString &database, bool superuser)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(qEnvironmentVariable("TARVANE_PG_HOST"));
    db.setPort(qEnvironmentVariableIntValue("TARVANE_PG_PORT"));
    db.setDatabaseName(database);
    if (superuser) {
        db.setUserName(qEnvironmentVariable("TARVANE_PG_SUPERUSER"));
    } else {
        db.setUserName(qEnvironmentVariable("TARVANE_PG_USER"));
        db.setPassword(qEnvironmentVariable("TARVANE_PG_PASSWORD"));
    }
    if (!db.open())
        throw std::runtime_error(QString("cannot connect to the test server: " + db.lastError().text()).toStdString());
    return db;
}

// Runs one statement as the superuser on the server's maintenance database.
void runAsSuperuser(const QString &sql)
{
    const QString name = QStringLiteral("pg-admin-%1").arg(quintptr(&sql));
    {
        QSqlDatabase db = addServerConnection(name, QStringLiteral("postgres"), true);
        QSqlQuery query(db);
        if (!query.exec(sql))
            throw std::runtime_error(QString(sql + ": " + query.lastError().text()).toStdString());
    }
    QSqlDatabase::removeDatabase(name);
}
} // namespace

bool PgTestDatabase::configured()
{
    return !qEnvironmentVariableIsEmpty("TARVANE_PG_HOST");
}

PgTestDatabase::PgTestDatabase(bool withSchema)
{
    static int serial = 0;
    m_name = QStringLiteral("t_%1_%2").arg(QCoreApplication::applicationPid()).arg(++serial);
    runAsSuperuser(QStringLiteral("CREATE DATABASE %1 OWNER %2 ENCODING 'UTF8'")
                       .arg(m_name, qEnvironmentVariable("TARVANE_PG_USER")));
    if (withSchema) {
        const QString setup = QStringLiteral("schema-") + m_name;
        {
            QSqlDatabase db = addServerConnection(setup, m_name, false);
            configureConnection(db);
            createSchema(db);
        }
        QSqlDatabase::removeDatabase(setup);
    }
}

PgTestDatabase::~PgTestDatabase()
{
    for (const QString &name : std::as_const(m_connections)) {
        Sql::forgetStatements(QSqlDatabase::database(name, false));
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    try {
        runAsSuperuser(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    } catch (const std::exception &) {
        // The server goes away with the test run anyway.
    }
}

QSqlDatabase PgTestDatabase::open(const QString &connectionName, bool superuser)
{
    QSqlDatabase db = addServerConnection(connectionName, m_name, superuser);
    m_connections << connectionName;
    configureConnection(db);
    return db;
}
