#include "Paths.h"
#include "Settings.h"
#include "TestEnv.h"

#include <QLocale>
#include <QTest>

class TestSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void noFileGivesDefaults()
    {
        TestEnv env;
        TSystemSettings s;
        s.HotelName = QStringLiteral("stale");
        s.ConnType = 9;
        loadSettings(s);
        QCOMPARE(s.HotelName, QString());
        QCOMPARE(s.DayCount, 1);
        QCOMPARE(s.LeaveTime, QTime(12, 0));
        QCOMPARE(s.TimeTolerance, 0);
        QCOMPARE(s.Pass, QString());
        QCOMPARE(s.LanguageID, systemLanguageId());
        QCOMPARE(s.UseRoomID, false);
        QCOMPARE(s.ConnType, uint8_t(0));
        QCOMPARE(s.Recycle, uint8_t(24));
    }

    void noConfigFolderGivesDefaults()
    {
        TestEnv env;
        Paths::setConfigDir(env.configDir() + QStringLiteral("/missing/deeper"));
        TSystemSettings s;
        loadSettings(s);
        QCOMPARE(s.DayCount, 1);
        TLock_Info info;
        loadLockInfo(info);
        QCOMPARE(info.Sector, uint8_t(8));
    }

    void values_data()
    {
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<int>("dayCount");
        QTest::addColumn<QTime>("leaveTime");
        QTest::addColumn<int>("connType");
        QTest::addColumn<int>("recycle");
        QTest::addColumn<bool>("useRoomId");
        QTest::newRow("day count abc") << QByteArray("[SystemInfo]\nDayCount=abc\n") << 1 << QTime(12, 0) << 0 << 24
                                       << false;
        QTest::newRow("day count hex") << QByteArray("[SystemInfo]\nDayCount=0x10\n") << 16 << QTime(12, 0) << 0 << 24
                                       << false;
        QTest::newRow("conn type 257 keeps its low byte")
            << QByteArray("[Client Config]\nConnType=257\n") << 1 << QTime(12, 0) << 1 << 24 << false;
        QTest::newRow("recycle -1 keeps its low byte")
            << QByteArray("[client config]\nrecycle=-1\n") << 1 << QTime(12, 0) << 0 << 255 << false;
        QTest::newRow("leave time 25:00:00 is noon")
            << QByteArray("[SystemInfo]\nLeaveTime=25:00:00\n") << 1 << QTime(12, 0) << 0 << 24 << false;
        QTest::newRow("keys of the wrong section are not read")
            << QByteArray("[Client Config]\nDayCount=5\n[SystemInfo]\nConnType=1\n") << 1 << QTime(12, 0) << 0 << 24
            << false;
    }
    void values()
    {
        QFETCH(QByteArray, profile);
        TestEnv env;
        env.writeProfile(profile);
        TSystemSettings s;
        loadSettings(s);
        QTEST(s.DayCount, "dayCount");
        QTEST(s.LeaveTime, "leaveTime");
        QTEST(int(s.ConnType), "connType");
        QTEST(int(s.Recycle), "recycle");
        QTEST(s.UseRoomID, "useRoomId");
    }

    void databasePasswordNeverTakenForLockPassword()
    {
        TestEnv env;
        env.writeProfile("[Client Config]\nPass=dbsecret\nUserName=tarvane\n");
        TSystemSettings s;
        loadSettings(s);
        QCOMPARE(s.Pass, QString());
        QCOMPARE(loadClientConfig().Pass, QStringLiteral("dbsecret"));

        env.writeProfile("[SystemInfo]\nPass=0A1B2C3D\n[Client Config]\nPass=dbsecret\n");
        loadSettings(s);
        QCOMPARE(s.Pass, QStringLiteral("0A1B2C3D"));
        QCOMPARE(loadClientConfig().Pass, QStringLiteral("dbsecret"));
    }

    void clientConfig()
    {
        TestEnv env;
        QCOMPARE(loadClientConfig().DbPath, env.programFile(QStringLiteral("db/lock.db")));
        env.writeProfile(QString::fromUtf8("[Client Config]\nDbPath= /srv/酒店 db/a;b#c?.db \nServerName=db1,5433\n"
                                           "UserName=tarvane\n")
                             .toUtf8());
        const TClientConfig config = loadClientConfig();
        QCOMPARE(config.DbPath, QString::fromUtf8("/srv/酒店 db/a;b#c?.db"));
        QCOMPARE(config.ServerName, QStringLiteral("db1,5433"));
        QCOMPARE(config.UserName, QStringLiteral("tarvane"));
    }

    // A reload (the settings window's save) keeps the operator logged in; the
    // start-up load begins from a cleared record.
    void reloadKeepsLoginStartupClearsIt()
    {
        TestEnv env;
        env.writeProfile("[SystemInfo]\nHotelName=East\nDayCount=3\n");
        TSystemSettings s;
        s.Staffer = QStringLiteral("amy");
        s.StafferName = QStringLiteral("Amy Lin");
        s.GroupID = 4;
        s.TranslationActive = true;
        loadSettings(s);
        QCOMPARE(s.HotelName, QStringLiteral("East"));
        QCOMPARE(s.Staffer, QStringLiteral("amy"));
        QCOMPARE(s.StafferName, QStringLiteral("Amy Lin"));
        QCOMPARE(s.GroupID, 4);
        QVERIFY(s.TranslationActive);

        SystemSettings = s;
        SystemSettings.TranslationActive = false;
        QVERIFY(startupLoad());
        QCOMPARE(SystemSettings.HotelName, QStringLiteral("East"));
        QCOMPARE(SystemSettings.DayCount, 3);
        QCOMPARE(SystemSettings.Staffer, QString());
        QCOMPARE(SystemSettings.StafferName, QString());
        QCOMPARE(SystemSettings.GroupID, 0);
        QVERIFY(SystemSettings.TranslationActive);
        SystemSettings = {};
    }

    void lockInfo_data()
    {
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<int>("lockType");
        QTest::addColumn<int>("sector");
        QTest::addColumn<QString>("keyStr");
        QTest::newRow("defaults") << QByteArray() << 0 << 8 << "FFFFFFFFFFFF";
        QTest::newRow("stored") << QByteArray("[config]\nLockType=3\nSector=2\nKeyStr=A0A1A2A3A4A5\n") << 3 << 2
                                << "A0A1A2A3A4A5";
        QTest::newRow("low byte") << QByteArray("[Config]\nLockType=259\nSector=$1FF\n") << 3 << 255 << "FFFFFFFFFFFF";
        QTest::newRow("bad number") << QByteArray("[Config]\nLockType=x\nSector=\n") << 0 << 8 << "FFFFFFFFFFFF";
    }
    void lockInfo()
    {
        QFETCH(QByteArray, profile);
        TestEnv env;
        if (!profile.isEmpty())
            env.writeProfile(profile);
        TLock_Info info;
        loadLockInfo(info);
        QTEST(int(info.LockType), "lockType");
        QTEST(int(info.Sector), "sector");
        QTEST(info.KeyStr, "keyStr");
        QCOMPARE(info.CommProt, uint8_t(0));
        QCOMPARE(info.Block, uint8_t(0));
        QCOMPARE(info.KeyType, uint8_t(0));
    }

    void languageOfLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("languageId");
        QTest::newRow("zh_CN") << "zh_CN" << 2052;
        QTest::newRow("zh_SG") << "zh_SG" << 2052;
        QTest::newRow("zh_TW") << "zh_TW" << 1028;
        QTest::newRow("zh_HK") << "zh_HK" << 3076;
        QTest::newRow("zh_MO") << "zh_MO" << 1033;
        QTest::newRow("en_US") << "en_US" << 1033;
        QTest::newRow("de_DE") << "de_DE" << 1033;
        QTest::newRow("C") << "C" << 1033;
    }
    void languageOfLocale()
    {
        QFETCH(QString, locale);
        QTEST(int(languageIdForLocale(QLocale(locale))), "languageId");
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
