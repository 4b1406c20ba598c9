#pragma once

// Helpers of the reliability tests: desks in processes of their own, each
// with its own encoder simulator, and the invariants every kill and every
// race must leave intact.
#include "HotelFixture.h"
#include "Sql.h"

#include <QCoreApplication>
#include <QDir>
#include <QMap>
#include <QProcess>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

// Full sizes under scripts/reliability; smaller ones in the everyday run.
inline bool fullRun()
{
    return qEnvironmentVariableIntValue("TARVANE_RELIABILITY_FULL") == 1;
}

inline QString driverPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("reliability-desk"));
}

// Starts a desk process on the fixture's database.
inline std::unique_ptr<QProcess> startDesk(HotelFixture &hotel, const QString &name, const QStringList &extra)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(
        QStringLiteral("HOTELLOCK_STATE"), QDir(hotel.env().configDir()).filePath(name + QStringLiteral(".state")));
    process->setProcessEnvironment(env);
    QStringList args { QStringLiteral("--program"), hotel.env().programDir(), QStringLiteral("--name"), name };
    if (hotel.isPostgres())
        args << QStringLiteral("--pg") << hotel.serverDatabaseName();
    else
        args << QStringLiteral("--sqlite") << hotel.databaseFile();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(driverPath(), args + extra);
    return process;
}

inline bool waitForLine(QProcess &process, const QByteArray &prefix, int timeoutMs, QByteArray *line = nullptr)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        while (process.canReadLine()) {
            const QByteArray read = process.readLine().trimmed();
            if (read.startsWith(prefix)) {
                if (line)
                    *line = read;
                return true;
            }
        }
        if (process.state() == QProcess::NotRunning && !process.canReadLine())
            return false;
        process.waitForReadyRead(100);
    }
    return false;
}

inline void addTestRooms(HotelFixture &hotel, int count)
{
    for (int i = 1; i <= count; ++i)
        hotel.addRoom(QString::number(100 + i), 1, 1, i);
}

inline QStringList testRooms(int count)
{
    QStringList rooms;
    for (int i = 1; i <= count; ++i)
        rooms << QString::number(100 + i);
    return rooms;
}

inline QVariant scalarOf(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query = Sql::exec(db, sql);
    return query.next() ? query.value(0) : QVariant();
}

// Guest cards of each room: journal rows, distinct numbers, the counter, and
// the cards the stays count. One issue commits all of them together.
struct RoomCards {
    int journal = 0;
    int distinct = 0;
    qlonglong counter = 0;
    int staysCount = 0;
};

inline QMap<QString, RoomCards> roomCards(const QSqlDatabase &db)
{
    QMap<QString, RoomCards> rooms;
    QSqlQuery counters = Sql::exec(db, QStringLiteral("SELECT RoomStr, CardSn FROM RoomInfo"));
    while (counters.next())
        rooms[counters.value(0).toString()].counter = counters.value(1).toLongLong();
    QSqlQuery journal = Sql::exec(db,
        QStringLiteral("SELECT RoomStr, count(*), count(DISTINCT Rom) FROM "
                       "MakeCardRecord WHERE CardType = 4 GROUP BY RoomStr"));
    while (journal.next()) {
        rooms[journal.value(0).toString()].journal = journal.value(1).toInt();
        rooms[journal.value(0).toString()].distinct = journal.value(2).toInt();
    }
    QSqlQuery stays = Sql::exec(
        db, QStringLiteral("SELECT RoomStr, sum(COALESCE(CardCounts, 1)) FROM GuestInRecord GROUP BY RoomStr"));
    while (stays.next())
        rooms[stays.value(0).toString()].staysCount = stays.value(1).toInt();
    return rooms;
}
