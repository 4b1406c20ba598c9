// Draws the four room pictures of the board as 32x32 bitmaps on a magenta key
// colour (the bottom-left pixel), which the program masks out.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

const QColor KeyColour(255, 0, 255);

void drawDoor(QPainter &p, const QColor &door, bool open)
{
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(235, 225, 200));
    p.drawRect(5, 2, 22, 28); // frame
    p.setBrush(door);
    if (open) {
        QPolygon leaf;
        leaf << QPoint(7, 4) << QPoint(17, 7) << QPoint(17, 29) << QPoint(7, 28);
        p.drawPolygon(leaf);
    } else {
        p.drawRect(7, 4, 18, 24);
        p.setBrush(QColor(250, 210, 60));
        p.drawEllipse(QPoint(21, 17), 2, 2);
    }
}

void drawGuest(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 60, 160));
    p.drawEllipse(QPoint(21, 12), 4, 4);
    QPainterPath body;
    body.moveTo(14, 29);
    body.cubicTo(14, 18, 28, 18, 28, 29);
    body.closeSubpath();
    p.drawPath(body);
}

void drawWrench(QPainter &p)
{
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(255, 200, 0));
    QPolygon sign;
    sign << QPoint(8, 31) << QPoint(17, 15) << QPoint(26, 31);
    p.translate(-5, 0);
    p.drawPolygon(sign);
    p.setPen(QPen(QColor(20, 20, 20), 2));
    p.drawLine(17, 21, 17, 26);
    p.drawPoint(17, 29);
    p.resetTransform();
}

QImage picture(bool occupied, bool underRepair)
{
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(KeyColour);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    drawDoor(p, occupied ? QColor(200, 50, 40) : QColor(60, 160, 70), occupied);
    if (occupied)
        drawGuest(p);
    if (underRepair)
        drawWrench(p);
    p.end();
    image.setPixel(0, 31, KeyColour.rgb());
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawpictures FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;
    const struct
    {
        const char *file;
        bool occupied;
        bool underRepair;
    } pictures[] = {
        {"Normal.bmp", false, false},
        {"Normal_ModiRoom.bmp", false, true},
        {"GuestIn.BMP", true, false},
        {"GuestIn_ModiRoom.BMP", true, true},
    };
    for (const auto &pic : pictures) {
        if (!picture(pic.occupied, pic.underRepair).save(folder.filePath(QString::fromLatin1(pic.file)), "BMP")) {
            std::fprintf(stderr, "cannot write %s\n", pic.file);
            return 1;
        }
    }
    return 0;
}
