// The report printing library and its caller: the door-opening record report
// as PDF and preview, and a program folder without the library.
#include "CardsWindows.h"
#include "DoorRecordQuery.h"
#include "HotelFixture.h"
#include "OpenDoorRecord_Form.h"
#include "PrintLibrary.h"
#include "ScriptedPrompts.h"
#include "Sql.h"
#include "WindowRegistry.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLibrary>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRawFont>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

PrintRows doorRows(int count, const QString &roomStr = QStringLiteral("8101"))
{
    const QStringList names = DoorRecords::columnNames();
    const QStringList titles = DoorRecords::columnTitles();
    QList<PrintRows::Column> columns;
    for (qsizetype c = 0; c < names.size(); ++c)
        columns.append({ names[c], titles[c] });
    QList<QStringList> cells;
    for (int i = 0; i < count; ++i) {
        DoorRecordRow row;
        row.recId = i + 1;
        row.roomStr = roomStr;
        row.rom = QStringLiteral("0A%1").arg(i, 6, 16, QLatin1Char('0')).toUpper();
        row.openTime = QDateTime(QDate(2024, 3, 5), QTime(8, 0)).addSecs(60 * i);
        row.cardType = 10;
        row.cardTypeStr = QString::fromUtf8("总控卡");
        row.cardHolderStr = QString::fromUtf8("王小明");
        row.makeName = QString::fromUtf8("管理员");
        cells.append(DoorRecords::cells(row));
    }
    return PrintRows(columns, cells, count > 0 ? 0 : -1);
}

int pdfPages(const QByteArray &pdf)
{
    // Page objects, not the page tree ("/Type /Pages").
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1)) {
        if (pdf.mid(at + 11, 1) != "s")
            ++pages;
    }
    return pages;
}

// Runs check on the modal window once it shows, then closes it.
void whenModalShows(const std::function<void(QWidget *)> &check)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, check] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        timer->stop();
        timer->deleteLater();
        check(modal);
        modal->close();
    });
    timer->start();
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<HotelFixture> m_fx;

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<HotelFixture>();
        QVERIFY(m_fx->isOpen());
    }
    void cleanup() { m_fx.reset(); }

    // Without the library the operator is told so and the window goes on.
    void missingLibrary()
    {
        ScriptedPrompts prompts;
        prompts.answerOk();
        TOpenDoorRecord_Form form;
        QTest::mouseClick(form.Print_Bt, Qt::LeftButton);
        QCOMPARE(prompts.asked.size(), 1);
        QCOMPARE(prompts.last().text, QString::fromUtf8("找不到打印库 Dll/libPrint.so！"));
        QCOMPARE(prompts.last().icon, QMessageBox::Critical);
        prompts.answerOk();
        QVERIFY(!PrintLibrary::show(nullptr, nullptr, 0));
        QCOMPARE(prompts.asked.size(), 2);
        QCOMPARE(PrintLibrary::exportPdf(nullptr, 0, m_fx->env().programFile(QStringLiteral("x.pdf"))), -1);
    }

    void exportsTheCall()
    {
        m_fx->env().copyFromBin(QStringLiteral("Dll"));
        QLibrary library(PrintLibrary::libraryPath());
        QVERIFY2(library.load(), qPrintable(library.errorString()));
        QVERIFY(library.resolve("PrintForm_Show"));
        QVERIFY(library.resolve("PrintForm_ExportPdf"));
        QVERIFY(!library.resolve("paintReport")); // nothing else leaves the library
    }

    // Nothing searched, nothing found, or many rows: always a report.
    void pdfReport_data()
    {
        QTest::addColumn<int>("rows"); // -1: no recordset at all
        QTest::addColumn<bool>("severalPages");
        QTest::newRow("no recordset") << -1 << false;
        QTest::newRow("no rows") << 0 << false;
        QTest::newRow("one row") << 1 << false;
        QTest::newRow("200 rows") << 200 << true;
    }
    void pdfReport()
    {
        QFETCH(int, rows);
        QFETCH(bool, severalPages);
        m_fx->env().copyFromBin(QStringLiteral("Dll"));
        const PrintRows data = doorRows(std::max(rows, 0));
        const QString path = m_fx->env().programFile(QStringLiteral("report.pdf"));
        const int pages = PrintLibrary::exportPdf(rows < 0 ? nullptr : data.recordset(), 0, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray pdf = file.readAll();
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(pdfPages(pdf), pages);
        if (severalPages) {
            QVERIFY2(pages > 1, qPrintable(QString::number(pages)));
            // Twice the rows fill twice the pages, give or take the last one.
            const PrintRows twice = doorRows(400);
            const int twicePages = PrintLibrary::exportPdf(twice.recordset(), 0, path);
            QVERIFY2(twicePages == 2 * pages || twicePages == 2 * pages - 1, qPrintable(QString::number(twicePages)));
        } else {
            QCOMPARE(pages, 1);
        }
        // The Chinese texts are set in the CJK face the library names, embedded.
        QVERIFY(pdf.contains("NotoSansCJK"));
    }

    void unknownKindWritesNothing()
    {
        m_fx->env().copyFromBin(QStringLiteral("Dll"));
        const PrintRows data = doorRows(3);
        const QString path = m_fx->env().programFile(QStringLiteral("none.pdf"));
        QCOMPARE(PrintLibrary::exportPdf(data.recordset(), 7, path), -1);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(
            PrintLibrary::exportPdf(data.recordset(), 0, m_fx->env().programFile(QStringLiteral("no/such.pdf"))), -1);
    }

    // Every character the report prints has a glyph in the named face.
    void cjkFaceCoversTheTexts()
    {
        const QFont font(QStringLiteral("Noto Sans CJK SC"));
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Noto Sans CJK SC"));
        const QRawFont raw = QRawFont::fromFont(font);
        QVERIFY(raw.isValid());
        const QString texts = QString::fromUtf8("开门记录房间号：打印时间第页/共、卡类型卡号持卡人开门时间发卡人"
                                                "总控卡王小明管理员0123456789ABCDEF-: ");
        for (const QChar c : texts)
            QVERIFY2(raw.supportsCharacter(c), qPrintable(QString(c)));
    }

    // The screenshot tool's extra pictures: the browser with rows and the preview.
    void screenshotStates()
    {
        m_fx->env().copyFromBin(QStringLiteral("Dll"));
        m_fx->addRoom(QStringLiteral("8101"), 8, 1, 1);
        WindowRegistry registry;
        registerDoorRecordWindows(registry);
        const WindowRegistry::Entry *entry = registry.entry(QStringLiteral("CheckOpenRecord_Menu"));
        QVERIFY(entry && entry->screenshotStates);
        std::unique_ptr<QDialog> window(entry->factory(nullptr, {}));
        window->show();
        QStringList states;
        QMap<QString, QImage> pictures;
        entry->screenshotStates(window.get(), [&](const QString &state) {
            states << state;
            pictures[state] = window->grab().toImage();
        });
        QCOMPARE(states, (QStringList { QStringLiteral("rows"), QStringLiteral("preview") }));
        QVERIFY(pictures[QStringLiteral("preview")].width() >= 900);
        // The sample rows were only lent to the pictures.
        QCOMPARE(m_fx->count(QStringLiteral("OpenDoorRecord")), 0);
    }

    // The browser hands its rows to a modal preview that offers PDF export.
    void previewFromTheBrowser()
    {
        m_fx->env().copyFromBin(QStringLiteral("Dll"));
        for (int i = 0; i < 60; ++i)
            Sql::exec(m_fx->db(),
                QStringLiteral("Insert Into OpenDoorRecord (RoomStr, Rom, OpenTime, CardType, CardTypeStr, "
                               "CardHolderStr, MakeName) Values ('8101', ?, '2024-03-05 14:05:00', 10, ?, ?, ?)"),
                { QStringLiteral("R%1").arg(i), QString::fromUtf8("总控卡"), QString::fromUtf8("张三"),
                    QStringLiteral("admin") });
        ScriptedPrompts prompts;
        TOpenDoorRecord_Form form;
        form.Room_Edit->setText(QStringLiteral("8101"));
        QTest::mouseClick(form.Query_Bt, Qt::LeftButton);

        bool seen = false;
        bool exportOffered = false;
        whenModalShows([&](QWidget *modal) {
            seen = modal->inherits("QPrintPreviewDialog");
            QCOMPARE(modal->parentWidget(), &form);
            for (QAction *action : modal->findChildren<QAction *>())
                exportOffered |= action->text() == QString::fromUtf8("导出PDF");
            QVERIFY(!modal->grab().isNull());
        });
        QTest::mouseClick(form.Print_Bt, Qt::LeftButton);
        QVERIFY(seen);
        QVERIFY(exportOffered);
        QVERIFY(prompts.asked.isEmpty());

        // Before any search the report is empty but still shown.
        TOpenDoorRecord_Form fresh;
        seen = false;
        whenModalShows([&](QWidget *modal) { seen = modal->inherits("QPrintPreviewDialog"); });
        QTest::mouseClick(fresh.Print_Bt, Qt::LeftButton);
        QVERIFY(seen);
    }
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
