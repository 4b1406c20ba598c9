#pragma once

#include <QString>

// Where the program finds its files: the program's folder (databases, pictures,
// run-time libraries beside the executable) and the user's configuration folder
// (Keldrix.ini). Tests point both at temporary folders.
namespace Paths {

QString programDir();
void setProgramDir(const QString &dir); // empty restores the default
QString configDir();
void setConfigDir(const QString &dir); // empty restores the default

// Absolute path of a file beside the program ("db/lock.db" -> <programDir>/db/lock.db).
QString inProgramDir(const QString &relative);
QString profilePath(); // <configDir>/Keldrix.ini

} // namespace Paths
