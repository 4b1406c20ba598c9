#include "TestEnv.h"

#include "Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace {
void copyRecursively(const QString &from, const QString &to)
{
    const QFileInfo info(from);
    if (info.isDir()) {
        QDir().mkpath(to);
        const QDir dir(from);
        for (const QString &name : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            copyRecursively(dir.filePath(name), QDir(to).filePath(name));
        return;
    }
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    if (!QFile::copy(from, to))
        throw std::runtime_error(QString("cannot copy " + from + " to " + to).toStdString());
}
} // namespace

TestEnv::TestEnv()
{
    m_oldState = qgetenv("HOTELLOCK_STATE");
    Paths::setProgramDir(m_program.path());
    Paths::setConfigDir(m_config.path());
    qputenv("HOTELLOCK_STATE", QDir(m_config.path()).filePath(QStringLiteral("hotellock.state")).toLocal8Bit());
}

TestEnv::~TestEnv()
{
    Paths::setProgramDir({});
    Paths::setConfigDir({});
    if (m_oldState.isNull())
        qunsetenv("HOTELLOCK_STATE");
    else
        qputenv("HOTELLOCK_STATE", m_oldState);
}

QString TestEnv::programFile(const QString &relative) const
{
    return QDir(m_program.path()).filePath(relative);
}

QString TestEnv::profilePath() const
{
    return QDir(m_config.path()).filePath(QStringLiteral("Keldrix.ini"));
}

void TestEnv::writeProfile(const QByteArray &content) const
{
    QFile file(profilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write Keldrix.ini");
    file.write(content);
}

void TestEnv::copyFromBin(const QString &relative) const
{
    copyRecursively(QDir(binDir()).filePath(relative), programFile(relative));
}

QString TestEnv::binDir()
{
    const QString dir = qEnvironmentVariable("TARVANE_BIN_DIR");
    if (!dir.isEmpty())
        return dir;
    return QStringLiteral(TARVANE_DEFAULT_BIN_DIR);
}
