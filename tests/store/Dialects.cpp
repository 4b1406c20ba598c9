#include "Dialects.h"

#include "Connection.h"
#include "Schema.h"

#include <QDir>
#include <QtTest>

namespace {
const QString SqliteConnection = QStringLiteral("dialect-sqlite");
const QString ServerConnection = QStringLiteral("dialect-postgresql");
} // namespace

Dialects::Dialects()
    : m_sqlitePath(QDir(m_dir.path()).filePath(QStringLiteral("lock.db")))
{
    createEmbeddedDatabase(m_sqlitePath);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), SqliteConnection);
    db.setDatabaseName(m_sqlitePath);
    if (!db.open())
        qFatal("cannot open %s", qPrintable(m_sqlitePath));
    configureConnection(db);
    if (PgTestDatabase::configured()) {
        m_pg = std::make_unique<PgTestDatabase>();
        m_pg->open(ServerConnection);
    } else {
        qWarning("TARVANE_PG_HOST is not set: the server dialect is not tested");
    }
}

Dialects::~Dialects()
{
    m_pg.reset();
    QSqlDatabase::database(SqliteConnection, false).close();
    QSqlDatabase::removeDatabase(SqliteConnection);
}

QStringList Dialects::names() const
{
    QStringList names { QStringLiteral("sqlite") };
    if (m_pg)
        names << QStringLiteral("postgresql");
    return names;
}

QSqlDatabase Dialects::db(const QString &dialect) const
{
    return QSqlDatabase::database(dialect == QLatin1String("sqlite") ? SqliteConnection : ServerConnection, false);
}
