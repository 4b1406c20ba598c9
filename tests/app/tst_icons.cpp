#include "BitmapIcon.h"
#include "HotelFixture.h"
#include "MainForm.h"
#include "Operators.h"
#include "ScriptedPrompts.h"
#include "Settings.h"

#include <QDir>
#include <QListWidget>
#include <QTest>
#include <QTimer>

// Room pictures: key-colour masking, missing files, and the board's timer.
class TestIcons : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keyColour_blackAndMasked();
    void unreadableFile_nullIcon();
    void boardPictures_missingFilesUseTheWindowIcon();
    void timer_runsFromCreation();
};

// A 4x4 bitmap: key colour magenta everywhere but a red and a blue pixel.
// Scaling keeps hard edges: no pixel between key and picture colours.
void TestIcons::keyColour_blackAndMasked()
{
    QImage bitmap(4, 4, QImage::Format_RGB32);
    bitmap.fill(QColor(255, 0, 255));
    bitmap.setPixelColor(1, 1, Qt::red);
    bitmap.setPixelColor(2, 2, Qt::blue);
    const QImage icon = bitmapToIconImage(bitmap, 32);
    QCOMPARE(icon.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x)
            colours.insert(icon.pixel(x, y));
    }
    QCOMPARE(colours.size(), 3);
    QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(icon.pixelColor(31, 31).alpha(), 0);
    const QColor red = icon.pixelColor(8 + 3, 8 + 3);
    QCOMPARE(red.alpha(), 255);
    QCOMPARE(red.rgb(), QColor(Qt::red).rgb());
    QCOMPARE(icon.pixelColor(16 + 3, 16 + 3).rgb(), QColor(Qt::blue).rgb());
    // Masked pixels are black underneath.
    QCOMPARE(icon.pixel(0, 0) & 0x00FFFFFF, 0u);

    // The key is the bottom-left pixel, whatever colour it is.
    QImage other(2, 2, QImage::Format_RGB32);
    other.fill(Qt::green);
    other.setPixelColor(0, 1, Qt::white);
    const QImage keyed = bitmapToIconImage(other, 32);
    QCOMPARE(keyed.pixelColor(0, 31).alpha(), 0);
    QCOMPARE(keyed.pixelColor(31, 0).rgb(), QColor(Qt::green).rgb());
}

void TestIcons::unreadableFile_nullIcon()
{
    TestEnv env;
    QFile junk(env.programFile(QStringLiteral("junk.bmp")));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a bitmap");
    junk.close();
    QVERIFY(BitmapFileToIcon(junk.fileName()).isNull());
    QVERIFY(BitmapFileToIcon(env.programFile(QStringLiteral("missing.bmp"))).isNull());
}

void TestIcons::boardPictures_missingFilesUseTheWindowIcon()
{
    HotelFixture hotel;
    hotel.addOperator(QStringLiteral("admin"), QStringLiteral("1"), operatorRightColumns());
    SystemSettings.Staffer = QStringLiteral("admin");
    QDir().mkpath(hotel.env().programFile(QStringLiteral("pic/build")));
    QVERIFY(QFile::copy(QDir(TestEnv::binDir()).filePath(QStringLiteral("pic/build/GuestIn.BMP")),
        hotel.env().programFile(QStringLiteral("pic/build/GuestIn.BMP"))));
    ScriptedPrompts prompts;
    prompts.setAnswerAll(true);
    TMainForm form;
    QCOMPARE(form.Room_ImageList.size(), 4);
    for (const QIcon &icon : form.Room_ImageList)
        QVERIFY(!icon.isNull());
    // Only the guest picture differs from the stand-in.
    const auto key = [](const QIcon &icon) { return icon.pixmap(32, 32).toImage(); };
    QVERIFY(key(form.Room_ImageList[2]) != key(form.Room_ImageList[0]));
    QCOMPARE(key(form.Room_ImageList[1]), key(form.Room_ImageList[0]));
    QCOMPARE(key(form.Room_ImageList[3]), key(form.Room_ImageList[0]));
}

void TestIcons::timer_runsFromCreation()
{
    HotelFixture hotel;
    hotel.addOperator(QStringLiteral("admin"), QStringLiteral("1"), operatorRightColumns());
    SystemSettings.Staffer = QStringLiteral("admin");
    ScriptedPrompts prompts;
    prompts.setAnswerAll(true);
    TMainForm form;
    QVERIFY(form.Timer1->isActive());
    QCOMPARE(form.Timer1->interval(), 3000);
    QCOMPARE(form.Room_ListView->viewMode(), QListView::IconMode);
    QCOMPARE(form.Room_ListView->selectionMode(), QAbstractItemView::ExtendedSelection);
}

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
