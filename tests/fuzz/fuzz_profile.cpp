// Fuzz target: the profile file reader and writer. Any text read must give
// values or defaults, and writing a key back must keep the file readable.
#include "ProfileFile.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Keldrix.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    ProfileFile profile(path);
    (void)profile.readString(QStringLiteral("SystemInfo"), QStringLiteral("HotelName"));
    (void)profile.readInteger(QStringLiteral("SystemInfo"), QStringLiteral("DayCount"), 1);
    (void)profile.readBool(QStringLiteral("Client Config"), QStringLiteral("ConnType"), false);
    (void)profile.readTime(QStringLiteral("SystemInfo"), QStringLiteral("LeaveTime"), QTime(12, 0));
    profile.writeString(QStringLiteral("SystemInfo"), QStringLiteral("Pass"), QStringLiteral("12345678"));
    if (profile.save()) {
        const ProfileFile again(path);
        if (again.readString(QStringLiteral("SystemInfo"), QStringLiteral("Pass")) != QLatin1String("12345678"))
            __builtin_trap();
    }
    return 0;
}
