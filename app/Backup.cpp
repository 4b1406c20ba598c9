#include "Backup.h"

#include "Paths.h"

#include "AppState.h"
#include "Clock.h"
#include "Connection.h"
#include "DataModule.h"
#include "Sql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QTemporaryDir>
#include <QUrl>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <stdexcept>

namespace {

struct SqliteCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

class Failure : public std::runtime_error {
public:
    explicit Failure(const QString &reason)
        : std::runtime_error(reason.toStdString())
        , reason(reason)
    {
    }
    QString reason;
};

SqliteHandle openRaw(const QString &path, int flags)
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    SqliteHandle handle(raw);
    if (rc != SQLITE_OK)
        throw Failure(raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QString::fromUtf8(sqlite3_errstr(rc)));
    return handle;
}

// Copies every page of the source's main database into a new file at path.
void snapshot(sqlite3 *source, const QString &path)
{
    SqliteHandle dest = openRaw(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_backup *backup = sqlite3_backup_init(dest.get(), "main", source, "main");
    if (!backup)
        throw Failure(QString::fromUtf8(sqlite3_errmsg(dest.get())));
    int rc;
    do {
        rc = sqlite3_backup_step(backup, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            sqlite3_sleep(50);
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw Failure(QString::fromUtf8(sqlite3_errstr(rc)));
    // A snapshot is one self-contained file.
    if (sqlite3_exec(dest.get(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw Failure(QString::fromUtf8(sqlite3_errmsg(dest.get())));
}

void syncFile(QFile &file)
{
    if (!file.flush() || ::fsync(file.handle()) != 0)
        throw Failure(file.errorString());
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes the bytes of from into a new file to; an existing file is refused.
// What this call created is removed again when it fails.
void copyIntoNewFile(const QString &from, const QString &to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        throw Failure(in.errorString());
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw Failure(out.errorString());
    try {
        while (!in.atEnd()) {
            const QByteArray chunk = in.read(1 << 20);
            if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
                throw Failure(in.errorString());
            if (out.write(chunk) != chunk.size())
                throw Failure(out.errorString());
        }
        syncFile(out);
        out.close();
    } catch (...) {
        out.close();
        out.remove();
        throw;
    }
}

QString queryText(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        throw Failure(QString::fromUtf8(sqlite3_errmsg(db)));
    QString text;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    const int rc = sqlite3_finalize(stmt);
    if (rc != SQLITE_OK)
        throw Failure(QString::fromUtf8(sqlite3_errmsg(db)));
    return text;
}

} // namespace

QString backupFileName(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyMMddHHmmss")) + QStringLiteral("_BackUp.db");
}

QString beforeRestoreFileName(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyMMddHHmmss")) + QStringLiteral("_BeforeRestore.db");
}

QString databaseFilePath(const QSqlDatabase &db)
{
    sqlite3 *handle = Sql::sqliteHandle(db);
    if (!handle)
        return {};
    const char *name = sqlite3_db_filename(handle, "main");
    return name ? QString::fromUtf8(name) : QString();
}

QString dialogFolder(const QSqlDatabase &db)
{
    const QString live = databaseFilePath(db);
    return live.isEmpty() ? Paths::inProgramDir(QStringLiteral("db")) : QFileInfo(live).absolutePath();
}

BackupResult backupDatabase(const QSqlDatabase &db, const QString &target)
{
    if (Sql::isPostgres(db))
        return { BackupOutcome::ServerDatabase, {} };
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        return { BackupOutcome::TargetExists, {} };
    try {
        sqlite3 *source = Sql::sqliteHandle(db);
        if (!source)
            throw Failure(
                db.lastError().text().isEmpty() ? QStringLiteral("The database is not open.") : db.lastError().text());
        QTemporaryDir work;
        if (!work.isValid())
            throw Failure(work.errorString());
        const QString snap = work.filePath(QStringLiteral("snapshot.db"));
        snapshot(source, snap);
        copyIntoNewFile(snap, target);
        syncFolder(QFileInfo(target).absolutePath());
        return { BackupOutcome::Done, {} };
    } catch (const Failure &f) {
        // copyIntoNewFile has removed the partial file it made; nothing else was created.
        return { BackupOutcome::Failed, f.reason };
    }
}

QString validateHotelDatabase(const QString &source)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    if (file.read(16) != QByteArray("SQLite format 3\0", 16))
        return QStringLiteral("not an SQLite database");
    file.close();
    try {
        // Read through an immutable view, so the chosen file gains no -wal or -shm.
        const QString uri = QUrl::fromLocalFile(QFileInfo(source).absoluteFilePath()).toString(QUrl::FullyEncoded)
            + QStringLiteral("?mode=ro&immutable=1");
        SqliteHandle db = openRaw(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
        if (queryText(db.get(), "PRAGMA quick_check") != QLatin1String("ok"))
            return QStringLiteral("the file is damaged");
        const char *required[]
            = { "RoomInfo", "GuestInRecord", "MakeCardRecord", "Operator", "AllCardSn", "SchemaVersion" };
        for (const char *table : required) {
            const QByteArray sql = QByteArray("SELECT count(*) FROM sqlite_schema WHERE type='table' AND name='")
                + table + "' COLLATE NOCASE";
            if (queryText(db.get(), sql.constData()) != QLatin1String("1"))
                return QStringLiteral("table %1 is missing").arg(QLatin1String(table));
        }
        if (queryText(db.get(), "SELECT max(Version) FROM SchemaVersion") != QLatin1String("1"))
            return QStringLiteral("unknown schema version");
    } catch (const Failure &f) {
        return f.reason;
    }
    return {};
}

RestoreResult restoreDatabase(const QString &source)
{
    QSqlDatabase db = dm().conn();
    if (Sql::isPostgres(db))
        return { RestoreOutcome::ServerDatabase, {}, {} };
    if (!QFileInfo(source).isFile())
        return { RestoreOutcome::Missing, {}, {} };
    const QString why = validateHotelDatabase(source);
    if (!why.isEmpty())
        return { RestoreOutcome::NotOurs, why, {} };

    const QString live = databaseFilePath(db);
    if (live.isEmpty())
        return { RestoreOutcome::Failed, db.lastError().text(), {} };
    const QDir folder = QFileInfo(live).absoluteDir();
    const QString keep = folder.filePath(beforeRestoreFileName(Clock::now()));
    const QString incoming = live + QStringLiteral(".restoring");
    RestoreResult result { RestoreOutcome::Done, {}, keep };

    // Keep what is being replaced; if that fails nothing has been closed yet.
    try {
        QTemporaryDir work;
        if (!work.isValid())
            throw Failure(work.errorString());
        const QString snap = work.filePath(QStringLiteral("snapshot.db"));
        snapshot(Sql::sqliteHandle(db), snap);
        copyIntoNewFile(snap, keep);
        QFile::remove(incoming);
        copyIntoNewFile(source, incoming);
    } catch (const Failure &f) {
        QFile::remove(incoming);
        return { RestoreOutcome::Failed, f.reason, {} };
    }

    db.close();
    try {
        // Another desk with the file open keeps it in WAL mode: then we may not swap it.
        SqliteHandle probe = openRaw(live, SQLITE_OPEN_READWRITE);
        if (sqlite3_exec(probe.get(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK
            || queryText(probe.get(), "PRAGMA journal_mode") != QLatin1String("delete"))
            throw Failure(QStringLiteral("The database is in use by another program."));
        probe.reset();
        QFile::remove(live + QStringLiteral("-wal"));
        QFile::remove(live + QStringLiteral("-shm"));
        if (::rename(QFile::encodeName(incoming).constData(), QFile::encodeName(live).constData()) != 0)
            throw Failure(QString::fromLocal8Bit(strerror(errno)));
        syncFolder(folder.absolutePath());
    } catch (const Failure &f) {
        QFile::remove(incoming);
        result = { RestoreOutcome::Failed, f.reason, keep };
    }

    if (!openDatabase() && result.outcome == RestoreOutcome::Done)
        result = { RestoreOutcome::Failed, dm().conn().lastError().text(), keep };
    dm().notifyConnectionReopened();
    RoomsChanged = true;
    return result;
}
