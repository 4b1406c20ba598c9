#include "RawSqlite.h"

#include <QFile>

#include <sqlite3.h>

#include <stdexcept>
#include <string>

namespace {
void check(sqlite3 *db, int code, const std::string &what)
{
    if (code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE)
        throw std::runtime_error(what + ": " + sqlite3_errmsg(db));
}
} // namespace

RawSqlite::RawSqlite(const QString &path)
{
    const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    check(m_db, opened, "open " + path.toStdString());
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA synchronous=NORMAL");
    sqlite3_busy_timeout(m_db, 5000);
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
