#include "Connection.h"

#include "DataModule.h"
#include "DbError.h"
#include "Paths.h"
#include "Prompts.h"
#include "Schema.h"
#include "Settings.h"
#include "Sql.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTimeZone>
#include <QUrl>

#include <sqlite3.h>

namespace {

constexpr int DefaultPostgresPort = 5432;

// Readies the data module's connection for driver; a connection of another
// driver is closed and replaced.
QSqlDatabase prepareConnection(const QString &driver)
{
    const QString name = QString::fromLatin1(Tdm::ConnectionName);
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase existing = QSqlDatabase::database(name, false);
        Sql::forgetStatements(existing);
        if (existing.isOpen())
            existing.close();
        if (existing.driverName() == driver)
            return existing;
        existing = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    return QSqlDatabase::addDatabase(driver, name);
}

bool openAndConfigure(QSqlDatabase &db)
{
    if (!db.open())
        return false;
    try {
        configureConnection(db);
    } catch (const DbError &) {
        // Left open: the next statement fails with the database's own text
        // (a damaged file says so there).
        return false;
    }
    return true;
}

bool openEmbedded(const TClientConfig &config)
{
    QString path = config.DbPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.isEmpty())
        path = QDir(Paths::programDir()).absoluteFilePath(path);
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        prompts().message(nullptr, QMessageBox::NoIcon, QStringLiteral("提示"), QStringLiteral("文件不存在！"),
            QMessageBox::Ok, QMessageBox::Ok);
        return false;
    }
    // A URI keeps every character of the path a path (';', '#', '?', blanks),
    // and mode=rw never creates a database where the file went missing.
    QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=rw"));
    QSqlDatabase db = prepareConnection(QStringLiteral("QSQLITE"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    return openAndConfigure(db);
}

bool openServer(const TClientConfig &config)
{
    // libpq would try the local socket with an empty host.
    const QString server = config.ServerName.trimmed();
    if (server.isEmpty())
        return false;
    QString host = server;
    int port = DefaultPostgresPort;
    const qsizetype comma = server.indexOf(QLatin1Char(','));
    if (comma >= 0) {
        host = server.left(comma).trimmed();
        bool ok = false;
        port = server.mid(comma + 1).trimmed().toInt(&ok);
        if (!ok || port <= 0 || port > 65535 || host.isEmpty())
            return false;
    }
    // Each value goes to its own driver field, which quotes it.
    QSqlDatabase db = prepareConnection(QStringLiteral("QPSQL"));
    db.setHostName(host);
    db.setPort(port);
    db.setUserName(config.UserName);
    db.setPassword(config.Pass);
    db.setDatabaseName(QStringLiteral("qzvlock"));
    db.setConnectOptions(QStringLiteral("connect_timeout=5"));
    return openAndConfigure(db);
}

QString postgresZoneName()
{
    const QByteArray id = QTimeZone::systemTimeZoneId();
    if (!id.isEmpty())
        return QString::fromUtf8(id);
    // A fixed offset in the server's POSIX form, whose sign counts westwards.
    const int offset = QDateTime::currentDateTime().offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return QStringLiteral("<%1>%2%3:%4")
        .arg(QStringLiteral("LOCAL"), offset >= 0 ? QStringLiteral("-") : QStringLiteral("+"))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

bool openDatabase()
{
    switch (SystemSettings.ConnType) {
    case 0:
        return openEmbedded(loadClientConfig());
    case 1:
        return openServer(loadClientConfig());
    default:
        return false;
    }
}

void configureConnection(const QSqlDatabase &db)
{
    if (Sql::isSqlite(db)) {
        // journal_mode answers with a row; it is read to its end.
        QSqlQuery wal = Sql::exec(db, QStringLiteral("PRAGMA journal_mode=WAL"));
        while (wal.next()) { }
        Sql::execDirect(db, QStringLiteral("PRAGMA synchronous=NORMAL"));
        QSqlQuery checkpoint
            = Sql::exec(db, QStringLiteral("PRAGMA wal_autocheckpoint=%1").arg(WalCommitCheckpointPages));
        while (checkpoint.next()) { }
        // Relations between tables are kept by the program, not the database.
        Sql::execDirect(db, QStringLiteral("PRAGMA foreign_keys=OFF"));
        QSqlQuery busy = Sql::exec(db, QStringLiteral("PRAGMA busy_timeout=5000"));
        while (busy.next()) { }
        registerSqliteFunctions(db);
    } else if (Sql::isPostgres(db)) {
        Sql::execDirect(db, QStringLiteral("SET lock_timeout = '5s'"));
        // Timestamps are the desk's local time, whatever the server's zone.
        QSqlQuery zone
            = Sql::exec(db, QStringLiteral("SELECT set_config('TimeZone', ?, false)"), { postgresZoneName() });
        while (zone.next()) { }
    }
}

void checkpointWhileIdle(const QSqlDatabase &db)
{
    sqlite3 *handle = Sql::sqliteHandle(db);
    if (!handle || !sqlite3_get_autocommit(handle))
        return;
    // A busy answer (another desk checkpointing or writing) waits for the next time.
    (void)sqlite3_wal_checkpoint_v2(handle, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
}
