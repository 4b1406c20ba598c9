#include "RawSqlite.h"

#include <QFile>

#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {
void check(sqlite3 *db, int code, const std::string &what)
{
    if (code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE)
        throw std::runtime_error(what + ": " + sqlite3_errmsg(db));
}

// Days from 1970-01-01 of a civil date.
int64_t dayNumber(int64_t year, int64_t month, int64_t day)
{
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// DateDiff(unit, a, b) as the program's connections have it: boundaries of
// days ('d'), hours ('h', 'hh') or minutes ('n') crossed from a to b.
void dateDiff(sqlite3_context *context, int, sqlite3_value **argv)
{
    for (int i = 0; i < 3; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    const char *unit = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    int64_t minutes[2];
    for (int i = 0; i < 2; ++i) {
        const char *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[i + 1]));
        int year = 0, month = 0, day = 0, hour = 0, minute = 0;
        if (!text || std::sscanf(text, "%d-%d-%d %d:%d", &year, &month, &day, &hour, &minute) != 5) {
            sqlite3_result_error(context, "DateDiff: not a date-time", -1);
            return;
        }
        minutes[i] = (dayNumber(year, month, day) * 24 + hour) * 60 + minute;
    }
    int64_t result = 0;
    if (std::strcmp(unit, "d") == 0)
        result = minutes[1] / 1440 - minutes[0] / 1440;
    else if (std::strcmp(unit, "h") == 0 || std::strcmp(unit, "hh") == 0)
        result = minutes[1] / 60 - minutes[0] / 60;
    else if (std::strcmp(unit, "n") == 0)
        result = minutes[1] - minutes[0];
    else {
        sqlite3_result_error(context, "DateDiff: unknown unit", -1);
        return;
    }
    sqlite3_result_int64(context, result);
}
} // namespace

RawSqlite::RawSqlite(const QString &path)
{
    const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    check(m_db, opened, "open " + path.toStdString());
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA synchronous=NORMAL");
    sqlite3_busy_timeout(m_db, 5000);
    check(m_db,
        sqlite3_create_function_v2(
            m_db, "DateDiff", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &dateDiff, nullptr, nullptr, nullptr),
        "DateDiff");
}

RawSqlite::~RawSqlite()
{
    sqlite3_close_v2(m_db);
}

void RawSqlite::exec(const char *sql)
{
    check(m_db, sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr), sql);
}

RawSqlite::Statement::Statement(sqlite3 *db, const QString &sql)
    : m_db(db)
{
    const QByteArray text = sql.toUtf8();
    check(m_db, sqlite3_prepare_v3(m_db, text.constData(), -1, SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr),
        text.toStdString());
}

RawSqlite::Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

RawSqlite::Statement &RawSqlite::Statement::bind(int position, int64_t value)
{
    check(m_db, sqlite3_bind_int64(m_statement, position, value), "bind");
    return *this;
}

RawSqlite::Statement &RawSqlite::Statement::bind(int position, const QByteArray &utf8)
{
    check(m_db, sqlite3_bind_text(m_statement, position, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT), "bind");
    return *this;
}

bool RawSqlite::Statement::step()
{
    const int code = sqlite3_step(m_statement);
    check(m_db, code, sqlite3_sql(m_statement));
    return code == SQLITE_ROW;
}

void RawSqlite::Statement::reset()
{
    sqlite3_reset(m_statement);
}

int64_t RawSqlite::Statement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

const char *RawSqlite::Statement::text(int column) const
{
    return reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
}

bool RawSqlite::Statement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

int RawSqlite::Statement::changes() const
{
    return sqlite3_changes(m_db);
}

int RawSqlite::Statement::columns() const
{
    return sqlite3_column_count(m_statement);
}
