#pragma once

// A hotel database (SQLite or the test PostgreSQL server) with the encoder
// simulator and message library in its program folder, for the check-in,
// hourly room and room picker tests.
#include "AppState.h"
#include "Clock.h"
#include "HotelFixture.h"
#include "LockTestSupport.h"
#include "Settings.h"

#include <QFileInfo>
#include <QtTest>

#include <memory>

class DeskInHotel {
public:
    explicit DeskInHotel(bool postgres = false)
        : hotel(postgres)
    {
        if (!hotel.isOpen())
            return;
        hotel.env().copyFromBin(QStringLiteral("libHotelLock.so"));
        hotel.env().copyFromBin(QStringLiteral("Dll"));
        if (QFileInfo::exists(QDir(TestEnv::binDir()).filePath(QStringLiteral("db/Language.db"))))
            hotel.env().copyFromBin(QStringLiteral("db/Language.db"));
        sim = std::make_unique<Simulator>(hotel.env().programFile(QStringLiteral("libHotelLock.so")));
        sim->Reset();
        sim->ClearCallLog();
        SystemSettings.Staffer = QStringLiteral("op1");
        SystemSettings.StafferName = QString::fromUtf8("前台一");
        SystemSettings.LanguageID = 2052;
        SystemSettings.TranslationActive = false;
        RoomsChanged = false;
    }

    QSqlDatabase db() const { return hotel.db(); }
    QVariant scalar(const QString &sql, const QVariantList &values = {}) const { return ::scalar(db(), sql, values); }
    int liveStays(const QString &roomStr) const
    {
        return scalar(
            QStringLiteral("SELECT COUNT(*) FROM GuestInRecord WHERE RoomStr = ? AND enOverride = 0"), { roomStr })
            .toInt();
    }
    int journalRows() const { return scalar(QStringLiteral("SELECT COUNT(*) FROM MakeCardRecord")).toInt(); }
    int cardSn(const QString &roomStr) const
    {
        return scalar(QStringLiteral("SELECT CardSn FROM RoomInfo WHERE RoomStr = ?"), { roomStr }).toInt();
    }
    // A stay row with the given times (invalid: no value).
    void addStay(const QString &roomStr, const QDateTime &in, const QDateTime &plannedLeave,
        const QDateTime &leave = {}, int enOverride = 0, const QString &rom = QStringLiteral("00000000"))
    {
        Sql::exec(db(),
            QStringLiteral("INSERT INTO GuestInRecord (Room, RoomStr, Rom, GuestInTime, GuestLeaveTime, LeaveTime, "
                           "enOverride) SELECT Room, RoomStr, ?, ?, ?, ?, ? FROM RoomInfo WHERE RoomStr = ?"),
            { rom, Sql::dateTimeValue(in), Sql::dateTimeValue(plannedLeave), Sql::dateTimeValue(leave), enOverride,
                roomStr });
    }

    HotelFixture hotel;
    std::unique_ptr<Simulator> sim;
};

// Rows "sqlite" and, when the test server is configured, "postgres".
inline void addDialectColumn()
{
    QTest::addColumn<bool>("postgres");
}
inline void addDialectRow(const char *name, bool postgres)
{
    if (!postgres || HotelFixture::postgresConfigured())
        QTest::newRow(name) << postgres;
}
