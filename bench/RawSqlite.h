#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// The baseline: the same statements straight through the sqlite3 C API,
// prepared once, values bound, columns read by index.
class RawSqlite {
public:
    explicit RawSqlite(const QString &path); // WAL, synchronous=NORMAL as the program's connections
    ~RawSqlite();
    RawSqlite(const RawSqlite &) = delete;
    RawSqlite &operator=(const RawSqlite &) = delete;

    class Statement {
    public:
        Statement(sqlite3 *db, const QString &sql);
        ~Statement();
        Statement(const Statement &) = delete;
        Statement &operator=(const Statement &) = delete;

        Statement &bind(int position, int64_t value); // positions from 1
        Statement &bind(int position, const QByteArray &utf8);
        bool step(); // true while a row is there; throws on an error
        void reset(); // ready to run again, bindings kept
        int64_t integer(int column) const;
        const char *text(int column) const; // nullptr for a null value
        bool isNull(int column) const;
        int changes() const;
        int columns() const;

    private:
        sqlite3 *m_db;
        sqlite3_stmt *m_statement = nullptr;
    };

    std::unique_ptr<Statement> prepare(const QString &sql) { return std::make_unique<Statement>(m_db, sql); }
    void exec(const char *sql); // BEGIN IMMEDIATE, COMMIT

private:
    sqlite3 *m_db = nullptr;
};
