#include "Schema.h"

#include "Connection.h"
#include "DbError.h"
#include "Sql.h"
#include "WriteTransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QTemporaryFile>
#include <QUuid>

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <optional>

namespace {

QString readResource(const QString &name)
{
    QFile file(QStringLiteral(":/sql/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("The schema resource %1 is missing from the program.").arg(name));
    return QString::fromUtf8(file.readAll());
}

void runScript(const QSqlDatabase &db, const QString &script)
{
    for (const QString &statement : splitSqlScript(script))
        Sql::execDirect(db, statement);
}

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t daysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Stamp {
    int64_t day = 0;
    int hour = 0;
    int minute = 0;
};

bool digits(const unsigned char *s, int count, int &value)
{
    value = 0;
    for (int i = 0; i < count; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

// Accepts exactly "YYYY-MM-DD", "YYYY-MM-DD HH:MM" and "YYYY-MM-DD HH:MM:SS".
std::optional<Stamp> parseStamp(const unsigned char *s, int length)
{
    if (length != 10 && length != 16 && length != 19)
        return std::nullopt;
    int year, month, day, hour = 0, minute = 0, second = 0;
    if (!digits(s, 4, year) || s[4] != '-' || !digits(s + 5, 2, month) || s[7] != '-' || !digits(s + 8, 2, day))
        return std::nullopt;
    if (length >= 16 && (s[10] != ' ' || !digits(s + 11, 2, hour) || s[13] != ':' || !digits(s + 14, 2, minute)))
        return std::nullopt;
    if (length == 19 && (s[16] != ':' || !digits(s + 17, 2, second)))
        return std::nullopt;
    static constexpr std::array<int, 12> monthDays { 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month < 1 || month > 12 || day < 1 || day > monthDays[month - 1] || (month == 2 && day == 29 && !leap))
        return std::nullopt;
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return Stamp { daysFromCivil(year, month, day), hour, minute };
}

enum class Unit { Day, Hour, Minute };

std::optional<Unit> parseUnit(const unsigned char *s, int length)
{
    const QString unit = QString::fromUtf8(reinterpret_cast<const char *>(s), length).toLower();
    if (unit == QLatin1String("d") || unit == QLatin1String("dd") || unit == QLatin1String("day"))
        return Unit::Day;
    if (unit == QLatin1String("h") || unit == QLatin1String("hh") || unit == QLatin1String("hour"))
        return Unit::Hour;
    if (unit == QLatin1String("n") || unit == QLatin1String("mi") || unit == QLatin1String("minute"))
        return Unit::Minute;
    return std::nullopt;
}

void sqliteDateDiff(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    Q_ASSERT(argc == 3);
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    const auto unit = parseUnit(sqlite3_value_text(argv[0]), sqlite3_value_bytes(argv[0]));
    if (!unit) {
        sqlite3_result_error(context, "DateDiff: unknown unit", -1);
        return;
    }
    std::optional<Stamp> ends[2];
    for (int i = 0; i < 2; ++i) {
        sqlite3_value *value = argv[i + 1];
        if (sqlite3_value_type(value) == SQLITE_TEXT)
            ends[i] = parseStamp(sqlite3_value_text(value), sqlite3_value_bytes(value));
        if (!ends[i]) {
            sqlite3_result_error(context, "DateDiff: a date-time is not of the form YYYY-MM-DD HH:MM:SS", -1);
            return;
        }
    }
    const Stamp &a = *ends[0];
    const Stamp &b = *ends[1];
    int64_t result = b.day - a.day;
    if (*unit != Unit::Day)
        result = result * 24 + (b.hour - a.hour);
    if (*unit == Unit::Minute)
        result = result * 60 + (b.minute - a.minute);
    sqlite3_result_int64(context, result);
}

} // namespace

QStringList splitSqlScript(const QString &script)
{
    QStringList statements;
    QString current;
    bool meaningful = false; // anything but blanks and comments seen in current
    const qsizetype n = script.size();
    auto flush = [&] {
        if (meaningful)
            statements << current.trimmed();
        current.clear();
        meaningful = false;
    };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = script.at(i);
        const QChar next = i + 1 < n ? script.at(i + 1) : QChar();
        if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            const qsizetype end = script.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? n : end;
            continue;
        }
        if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const qsizetype end = script.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            current += QLatin1Char(' ');
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A doubled quote inside a quoted text continues it.
            qsizetype end = i + 1;
            while (end < n) {
                if (script.at(end) == c) {
                    if (end + 1 < n && script.at(end + 1) == c) {
                        end += 2;
                        continue;
                    }
                    break;
                }
                ++end;
            }
            end = qMin(end + 1, n);
            current += script.mid(i, end - i);
            meaningful = true;
            i = end;
            continue;
        }
        if (c == QLatin1Char('$')) {
            // A dollar-quoted body: $$ ... $$ or $tag$ ... $tag$.
            qsizetype tagEnd = i + 1;
            while (tagEnd < n && (script.at(tagEnd).isLetterOrNumber() || script.at(tagEnd) == QLatin1Char('_')))
                ++tagEnd;
            if (tagEnd < n && script.at(tagEnd) == QLatin1Char('$')
                && (tagEnd == i + 1 || !script.at(i + 1).isDigit())) {
                const QString tag = script.mid(i, tagEnd - i + 1);
                const qsizetype close = script.indexOf(tag, tagEnd + 1);
                const qsizetype end = close < 0 ? n : close + tag.size();
                current += script.mid(i, end - i);
                meaningful = true;
                i = end;
                continue;
            }
        }
        if (c == QLatin1Char(';')) {
            flush();
            ++i;
            continue;
        }
        current += c;
        if (!c.isSpace())
            meaningful = true;
        ++i;
    }
    flush();
    return statements;
}

void registerSqliteFunctions(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw DbError(QStringLiteral("DateDiff needs an open SQLite connection."));
    sqlite3 *sqlite = *static_cast<sqlite3 *const *>(handle.constData());
    if (!sqlite)
        throw DbError(QStringLiteral("DateDiff needs an open SQLite connection."));
    const int rc = sqlite3_create_function_v2(sqlite, "DateDiff", 3,
        SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr, &sqliteDateDiff, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(sqlite)), QString::number(rc));
}

void createSchema(const QSqlDatabase &db)
{
    const QString schema = readResource(
        Sql::isPostgres(db) ? QStringLiteral("schema-postgresql.sql") : QStringLiteral("schema-sqlite.sql"));
    WriteTransaction tx(db);
    runScript(db, schema);
    runScript(db, readResource(QStringLiteral("seed.sql")));
    tx.commit();
}

void createEmbeddedDatabase(const QString &path)
{
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        throw DbError(QStringLiteral("%1 already exists; a new database is never written over it.")
                          .arg(QDir::toNativeSeparators(target.absoluteFilePath())));
    if (!target.absoluteDir().exists())
        throw DbError(
            QStringLiteral("The folder %1 does not exist.").arg(QDir::toNativeSeparators(target.absolutePath())));

    // Built under a temporary name beside the target, so that a half-made
    // database never carries the real name.
    QTemporaryFile temp(target.absoluteFilePath() + QStringLiteral(".XXXXXX"));
    if (!temp.open())
        throw DbError(QStringLiteral("Cannot create a file in %1: %2")
                          .arg(QDir::toNativeSeparators(target.absolutePath()), temp.errorString()));
    const QString tempPath = temp.fileName();
    temp.close();

    const QString connection = QStringLiteral("newdb-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(tempPath);
        auto cleanUp = [&] {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connection);
        };
        try {
            if (!db.open())
                throw DbError::fromDatabase(db);
            configureConnection(db);
            createSchema(db);
        } catch (...) {
            cleanUp();
            throw;
        }
        cleanUp();
    }
    QFile::setPermissions(tempPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (!QFile::rename(tempPath, target.absoluteFilePath())) {
        QFile::remove(tempPath);
        throw DbError(QStringLiteral("Cannot name the new database %1.")
                          .arg(QDir::toNativeSeparators(target.absoluteFilePath())));
    }
}
