#pragma once

#include <QString>
#include <QTime>

#include <cstdint>

class QLocale;

// The installation's settings, read from Keldrix.ini at start-up, plus the
// values of the operator who logged in.
struct TSystemSettings {
    QString HotelName;
    int32_t DayCount = 0;
    QTime LeaveTime; // only the time of day is meaningful
    int32_t TimeTolerance = 0; // minutes
    QString Staffer; // login name as typed (login)
    QString StafferName; // operator's full name (login)
    int32_t GroupID = 0; // (login)
    QString Pass; // lock system password, 8 hexadecimal digits
    int32_t LanguageID = 0;
    bool TranslationActive = false;
    bool UseRoomID = false;
    uint8_t ConnType = 0;
    uint8_t Recycle = 0; // hours of the loss-report supersession
};

// Lock technology section; only LockType has an effect.
struct TLock_Info {
    uint8_t LockType = 0;
    uint8_t CommProt = 0;
    uint8_t Sector = 0;
    uint8_t Block = 0;
    uint8_t KeyType = 0;
    QString KeyStr;
};

// The one settings record of the run.
extern TSystemSettings SystemSettings;

// Reads sections SystemInfo and Client Config of Keldrix.ini into settings;
// the login fields and TranslationActive are left as they are.
void loadSettings(TSystemSettings &settings);
// Start-up load: a cleared record, loaded, copied over SystemSettings, then
// TranslationActive set. Always succeeds.
bool startupLoad();
// Reads section Config of Keldrix.ini.
void loadLockInfo(TLock_Info &info);

// LanguageID of the operating system's language (2052, 1028, 3076 or 1033).
int32_t systemLanguageId();
// The same for a given locale: Chinese of China and Singapore 2052, of Taiwan
// 1028, of Hong Kong 3076; everything else 1033.
int32_t languageIdForLocale(const QLocale &locale);

// The connection's part of section Client Config, read afresh each time the
// database is opened (ConnType comes from the settings record).
struct TClientConfig {
    QString DbPath; // by default db/lock.db beside the program
    QString ServerName;
    QString UserName;
    QString Pass; // the database password, not the lock system's
};
TClientConfig loadClientConfig();

// What the settings window saves.
struct SystemInfoEdit {
    uint8_t LockType = 0;
    QString HotelName;
    int32_t DayCount = 0;
    QString LeaveTimeText; // as typed
    bool UseRoomID = false;
};
// Checks the leave time first, then writes the five keys in one save, so that
// a refused save leaves Keldrix.ini as it was. Empty on success, else the
// text for the error box.
[[nodiscard]] QString saveSystemInfo(const SystemInfoEdit &edit);
