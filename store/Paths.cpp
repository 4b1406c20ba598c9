#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace {
QString programDirOverride;
QString configDirOverride;
} // namespace

namespace Paths {

QString programDir()
{
    if (!programDirOverride.isEmpty())
        return programDirOverride;
    return QCoreApplication::applicationDirPath();
}

void setProgramDir(const QString &dir)
{
    programDirOverride = dir.isEmpty() ? QString() : QDir::cleanPath(dir);
}

QString configDir()
{
    if (!configDirOverride.isEmpty())
        return configDirOverride;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

void setConfigDir(const QString &dir)
{
    configDirOverride = dir.isEmpty() ? QString() : QDir::cleanPath(dir);
}

QString inProgramDir(const QString &relative)
{
    return QDir(programDir()).filePath(relative);
}

QString profilePath()
{
    return QDir(configDir()).filePath(QStringLiteral("Keldrix.ini"));
}

} // namespace Paths
