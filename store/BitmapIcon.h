#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

// A room picture as an icon: the bitmap stretched (nearest pixel, so the key
// colour is not blended) to the large icon size; every pixel of the colour of
// the bottom-left pixel becomes black and transparent. A null icon when the
// file cannot be read.
QIcon BitmapFileToIcon(const QString &fileName);
QImage bitmapToIconImage(const QImage &bitmap, int size);
int largeIconSize();
