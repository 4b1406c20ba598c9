#include "BitmapIcon.h"

#include <QApplication>
#include <QPixmap>
#include <QStyle>

int largeIconSize()
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        return QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
    return 32;
}

QImage bitmapToIconImage(const QImage &bitmap, int size)
{
    if (bitmap.isNull())
        return {};
    const QRgb key = bitmap.pixel(0, bitmap.height() - 1) & RGB_MASK;
    QImage stretched = bitmap.convertToFormat(QImage::Format_ARGB32)
                           .scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    for (int y = 0; y < stretched.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(stretched.scanLine(y));
        for (int x = 0; x < stretched.width(); ++x) {
            if ((line[x] & RGB_MASK) == key)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return stretched;
}

QIcon BitmapFileToIcon(const QString &fileName)
{
    const QImage image = bitmapToIconImage(QImage(fileName), largeIconSize());
    if (image.isNull())
        return {};
    return QIcon(QPixmap::fromImage(image));
}
