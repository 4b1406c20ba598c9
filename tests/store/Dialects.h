#pragma once

#include "TestEnv.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A new hotel database in both dialects for a test class: an SQLite file and,
// when the test server is there, a database of its own on it.
class Dialects {
public:
    Dialects();
    ~Dialects();

    QStringList names() const; // "sqlite", and "postgresql" with a server
    QSqlDatabase db(const QString &dialect) const;
    const QString &sqlitePath() const { return m_sqlitePath; }
    PgTestDatabase *server() const { return m_pg.get(); }

    // Adds one row per dialect named "<dialect>: <name>"; the first column is "dialect".
    template <typename AddData> void newRows(const char *name, AddData addData) const
    {
        for (const QString &dialect : names())
            addData(QTest::newRow(qPrintable(dialect + QStringLiteral(": ") + QLatin1String(name))) << dialect);
    }

private:
    QTemporaryDir m_dir;
    QString m_sqlitePath;
    std::unique_ptr<PgTestDatabase> m_pg;
};
