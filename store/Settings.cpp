#include "Settings.h"

#include "Paths.h"
#include "ProfileFile.h"

#include <QDir>
#include <QLocale>

namespace {
const QString SystemInfo = QStringLiteral("SystemInfo");
const QString ClientConfig = QStringLiteral("Client Config");
const QString Config = QStringLiteral("Config");

// Keys kept in 8 bits keep only their low byte (256 reads as 0).
uint8_t lowByte(int value)
{
    return static_cast<uint8_t>(value & 0xFF);
}
} // namespace

int32_t languageIdForLocale(const QLocale &locale)
{
    if (locale.language() == QLocale::Chinese) {
        switch (locale.territory()) {
        case QLocale::China:
        case QLocale::Singapore:
            return 2052;
        case QLocale::Taiwan:
            return 1028;
        case QLocale::HongKong:
            return 3076;
        default:
            break;
        }
    }
    return 1033;
}

int32_t systemLanguageId()
{
    return languageIdForLocale(QLocale::system());
}

void loadSettings(TSystemSettings &settings)
{
    const ProfileFile file(Paths::profilePath());
    settings.HotelName = file.readString(SystemInfo, QStringLiteral("HotelName"));
    settings.DayCount = file.readInteger(SystemInfo, QStringLiteral("DayCount"), 1);
    settings.LeaveTime = file.readTime(SystemInfo, QStringLiteral("LeaveTime"), QTime(12, 0));
    settings.TimeTolerance = file.readInteger(SystemInfo, QStringLiteral("TimeTolerance"), 0);
    settings.Pass = file.readString(SystemInfo, QStringLiteral("Pass"));
    settings.LanguageID = file.readInteger(SystemInfo, QStringLiteral("LanguageID"), systemLanguageId());
    settings.UseRoomID = file.readBool(SystemInfo, QStringLiteral("UseRoomID"), false);
    settings.ConnType = lowByte(file.readInteger(ClientConfig, QStringLiteral("ConnType"), 0));
    settings.Recycle = lowByte(file.readInteger(ClientConfig, QStringLiteral("Recycle"), 24));
}

bool startupLoad()
{
    TSystemSettings fresh;
    loadSettings(fresh);
    SystemSettings = fresh;
    SystemSettings.TranslationActive = true;
    return true;
}

void loadLockInfo(TLock_Info &info)
{
    const ProfileFile file(Paths::profilePath());
    info.LockType = lowByte(file.readInteger(Config, QStringLiteral("LockType"), 0));
    info.CommProt = lowByte(file.readInteger(Config, QStringLiteral("CommProt"), 0));
    info.Sector = lowByte(file.readInteger(Config, QStringLiteral("Sector"), 8));
    info.Block = lowByte(file.readInteger(Config, QStringLiteral("Block"), 0));
    info.KeyType = lowByte(file.readInteger(Config, QStringLiteral("KeyType"), 0));
    info.KeyStr = file.readString(Config, QStringLiteral("KeyStr"), QStringLiteral("FFFFFFFFFFFF"));
}

TClientConfig loadClientConfig()
{
    const ProfileFile file(Paths::profilePath());
    TClientConfig config;
    config.DbPath
        = file.readString(ClientConfig, QStringLiteral("DbPath"), Paths::inProgramDir(QStringLiteral("db/lock.db")));
    config.ServerName = file.readString(ClientConfig, QStringLiteral("ServerName"));
    config.UserName = file.readString(ClientConfig, QStringLiteral("UserName"));
    config.Pass = file.readString(ClientConfig, QStringLiteral("Pass"));
    return config;
}

QString saveSystemInfo(const SystemInfoEdit &edit)
{
    const auto leaveTime = ProfileFile::parseTime(edit.LeaveTimeText);
    if (!leaveTime)
        return QStringLiteral("'%1' is not a valid time").arg(edit.LeaveTimeText);

    // A value is one line of the file: a line break in it could not be read back.
    if (edit.HotelName.contains(u'\n') || edit.HotelName.contains(u'\r'))
        return QStringLiteral("Unable to write to %1: the hotel name holds a line break")
            .arg(QDir::toNativeSeparators(Paths::profilePath()));

    ProfileFile file(Paths::profilePath());
    file.writeInteger(Config, QStringLiteral("LockType"), edit.LockType);
    file.writeString(SystemInfo, QStringLiteral("HotelName"), edit.HotelName);
    file.writeInteger(SystemInfo, QStringLiteral("DayCount"), edit.DayCount);
    file.writeTime(SystemInfo, QStringLiteral("LeaveTime"), *leaveTime);
    file.writeBool(SystemInfo, QStringLiteral("UseRoomID"), edit.UseRoomID);
    if (!file.save())
        return file.errorString();
    return {};
}
