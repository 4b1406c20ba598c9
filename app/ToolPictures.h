#pragma once

#include <QIcon>
#include <QString>

// The pictures of the main window's tool buttons, drawn in code.
QIcon toolPicture(const QString &buttonName);
