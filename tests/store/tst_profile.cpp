#include "ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {
QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}
} // namespace

class TestProfile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("Keldrix.ini")); }
    ProfileFile withValue(const QByteArray &value)
    {
        writeAll(path(), "[S]\nK=" + value + "\n");
        return ProfileFile(path());
    }

private Q_SLOTS:
    void init() { QFile::remove(path()); }

    void integer_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << QByteArray("12") << 12;
        QTest::newRow("negative") << QByteArray("-5") << -5;
        QTest::newRow("blanks trimmed") << QByteArray("   7  ") << 7;
        QTest::newRow("0x hex") << QByteArray("0x10") << 16;
        QTest::newRow("dollar hex") << QByteArray("$FF") << 255;
        QTest::newRow("hex 32-bit pattern") << QByteArray("$FFFFFFFF") << -1;
        QTest::newRow("int max") << QByteArray("2147483647") << 2147483647;
        QTest::newRow("int min") << QByteArray("-2147483648") << int(-2147483647 - 1);
        QTest::newRow("beyond 32 bits") << QByteArray("2147483648") << 99;
        QTest::newRow("hex beyond 32 bits") << QByteArray("0x100000000") << 99;
        QTest::newRow("letters") << QByteArray("abc") << 99;
        QTest::newRow("trailing letters") << QByteArray("12abc") << 99;
        QTest::newRow("fraction") << QByteArray("1.5") << 99;
        QTest::newRow("empty") << QByteArray("") << 99;
        QTest::newRow("bad hex digit") << QByteArray("$1G") << 99;
    }
    void integer()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        QCOMPARE(withValue(value).readInteger(QStringLiteral("S"), QStringLiteral("K"), 99), expected);
    }

    void boolean_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("defaultValue");
        QTest::addColumn<bool>("expected");
        QTest::newRow("1") << QByteArray("1") << false << true;
        QTest::newRow("0") << QByteArray("0") << true << false;
        QTest::newRow("true is not a number") << QByteArray("true") << false << false;
        QTest::newRow("yes keeps default") << QByteArray("yes") << true << true;
    }
    void boolean()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, defaultValue);
        QFETCH(bool, expected);
        QCOMPARE(withValue(value).readBool(QStringLiteral("S"), QStringLiteral("K"), defaultValue), expected);
    }

    void time_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QTime>("expected");
        const QTime noon(12, 0);
        QTest::newRow("with seconds") << QByteArray("14:30:15") << QTime(14, 30, 15);
        QTest::newRow("without seconds") << QByteArray("9:05") << QTime(9, 5);
        QTest::newRow("last second") << QByteArray("23:59:59") << QTime(23, 59, 59);
        QTest::newRow("hour 25") << QByteArray("25:00:00") << noon;
        QTest::newRow("hour 24") << QByteArray("24:00") << noon;
        QTest::newRow("minute 61") << QByteArray("25:61") << noon;
        QTest::newRow("second 60") << QByteArray("10:00:60") << noon;
        QTest::newRow("word") << QByteArray("noon") << noon;
        QTest::newRow("am/pm") << QByteArray("2:00 PM") << noon;
    }
    void time()
    {
        QFETCH(QByteArray, value);
        QFETCH(QTime, expected);
        QCOMPARE(withValue(value).readTime(QStringLiteral("S"), QStringLiteral("K"), QTime(12, 0)), expected);
    }

    void timeWrittenWithSeconds() { QCOMPARE(ProfileFile::timeText(QTime(9, 5)), QStringLiteral("09:05:00")); }

    void namesIgnoreCaseValuesTrimmed()
    {
        writeAll(path(), "; comment = not a key\n[client config]\n  SERVERNAME  =  db1, 5432  \n[SystemInfo]\n");
        const ProfileFile file(path());
        // The blank in the section name and the comma in the value are plain characters.
        QCOMPARE(file.readString(QStringLiteral("Client Config"), QStringLiteral("ServerName")),
            QStringLiteral("db1, 5432"));
        QVERIFY(!file.value(QStringLiteral("SystemInfo"), QStringLiteral("ServerName")));
        QVERIFY(!file.value(QStringLiteral("Missing"), QStringLiteral("ServerName")));
    }

    void twoPassKeysKeptApart()
    {
        writeAll(path(), "[SystemInfo]\nPass=0A1B2C3D\n[Client Config]\nPass=se;cr'et\n");
        ProfileFile file(path());
        QCOMPARE(file.readString(QStringLiteral("SystemInfo"), QStringLiteral("Pass")), QStringLiteral("0A1B2C3D"));
        QCOMPARE(file.readString(QStringLiteral("Client Config"), QStringLiteral("Pass")), QStringLiteral("se;cr'et"));
        file.writeString(QStringLiteral("SystemInfo"), QStringLiteral("Pass"), QStringLiteral("11112222"));
        QVERIFY(file.save());
        QCOMPARE(readAll(path()), QByteArray("[SystemInfo]\nPass=11112222\n[Client Config]\nPass=se;cr'et\n"));
    }

    // A write replaces in place, appends a missing key at its section's end and a
    // missing section at the file's end; every other line stays as it was.
    void writeKeepsOtherLines_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("replace in place")
            << QByteArray("; mine\n[systeminfo]\nhotelname = Old\nDayCount=2\n\n[Config]\nLockType=1\n") << "SystemInfo"
            << "HotelName" << QByteArray("; mine\n[systeminfo]\nhotelname=New\nDayCount=2\n\n[Config]\nLockType=1\n");
        QTest::newRow("missing key before the blank line")
            << QByteArray("[SystemInfo]\nDayCount=2\n\n[Config]\nLockType=1\n") << "SystemInfo"
            << "HotelName" << QByteArray("[SystemInfo]\nDayCount=2\nHotelName=New\n\n[Config]\nLockType=1\n");
        QTest::newRow("missing key in the last section")
            << QByteArray("[Config]\nLockType=1\n") << "Config"
            << "HotelName" << QByteArray("[Config]\nLockType=1\nHotelName=New\n");
        QTest::newRow("missing section") << QByteArray("[Config]\nLockType=1\n") << "SystemInfo"
                                         << "HotelName"
                                         << QByteArray("[Config]\nLockType=1\n\n[SystemInfo]\nHotelName=New\n");
        QTest::newRow("no file") << QByteArray() << "SystemInfo"
                                 << "HotelName" << QByteArray("[SystemInfo]\nHotelName=New\n");
        QTest::newRow("windows line ends kept")
            << QByteArray("[SystemInfo]\r\nHotelName=Old\r\nDayCount=2\r\n") << "SystemInfo"
            << "HotelName" << QByteArray("[SystemInfo]\r\nHotelName=New\r\nDayCount=2\r\n");
        QTest::newRow("no line end at the end")
            << QByteArray("[SystemInfo]\nDayCount=2") << "SystemInfo"
            << "HotelName" << QByteArray("[SystemInfo]\nDayCount=2\nHotelName=New\n");
    }
    void writeKeepsOtherLines()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);
        if (!before.isNull())
            writeAll(path(), before);
        ProfileFile file(path());
        file.writeString(section, key, QStringLiteral("New"));
        QVERIFY2(file.save(), qPrintable(file.errorString()));
        QCOMPARE(readAll(path()), after);
    }

    void chineseRoundTripAsUtf8()
    {
        const QString name = QString::fromUtf8("东方大酒店");
        {
            ProfileFile file(path());
            file.writeString(QStringLiteral("SystemInfo"), QStringLiteral("HotelName"), name);
            QVERIFY(file.save());
        }
        QCOMPARE(readAll(path()), "[SystemInfo]\nHotelName=" + name.toUtf8() + "\n");
        QCOMPARE(ProfileFile(path()).readString(QStringLiteral("SystemInfo"), QStringLiteral("HotelName")), name);
    }

    void oldChineseCodePageIsRead()
    {
        // "东方" in the Chinese code page an older installation wrote.
        writeAll(path(), QByteArray("[SystemInfo]\nHotelName=\xb6\xab\xb7\xbd\n"));
        QCOMPARE(ProfileFile(path()).readString(QStringLiteral("SystemInfo"), QStringLiteral("HotelName")),
            QString::fromUtf8("东方"));
    }

    void newlineInValueCannotAddKeys()
    {
        ProfileFile file(path());
        file.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("a\nDbPath=/tmp/x"));
        QVERIFY(file.save());
        const ProfileFile again(path());
        QVERIFY(!again.value(QStringLiteral("S"), QStringLiteral("DbPath")));
    }

    void missingFolderIsCreated()
    {
        const QString nested = m_dir.filePath(QStringLiteral("a/b/Keldrix.ini"));
        ProfileFile file(nested);
        file.writeInteger(QStringLiteral("SystemInfo"), QStringLiteral("DayCount"), 3);
        QVERIFY2(file.save(), qPrintable(file.errorString()));
        QCOMPARE(ProfileFile(nested).readInteger(QStringLiteral("SystemInfo"), QStringLiteral("DayCount"), 1), 3);
    }

    // The database password lives in this file.
    void savedFileReadableByOwnerOnly()
    {
        writeAll(path(), "[Client Config]\nPass=x\n");
        QVERIFY(
            QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        ProfileFile file(path());
        file.writeInteger(QStringLiteral("SystemInfo"), QStringLiteral("DayCount"), 3);
        QVERIFY(file.save());
        struct stat info { };
        QCOMPARE(::stat(QFile::encodeName(path()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0600));
    }

    void failedSaveLeavesEverythingAndSaysWhy()
    {
        QVERIFY(QDir().mkpath(path()));
        ProfileFile file(path());
        file.writeInteger(QStringLiteral("SystemInfo"), QStringLiteral("DayCount"), 3);
        QVERIFY(!file.save());
        QVERIFY2(file.errorString().contains(path()), qPrintable(file.errorString()));
        QVERIFY(QFileInfo(path()).isDir());
        QVERIFY(QDir().rmdir(path()));
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_profile.moc"
