// The door-opening record browser and its CSV export.
#include "CardsWindows.h"
#include "Clock.h"
#include "CsvExport.h"
#include "DoorRecordQuery.h"
#include "HotelFixture.h"
#include "OpenDoorRecord_Form.h"
#include "ScriptedPrompts.h"
#include "Sql.h"
#include "WindowRegistry.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

#include <memory>

namespace {

struct PickerScript {
    std::optional<QStringList> answer;
    int calls = 0;
};

} // namespace

class TestDoorRecords : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<HotelFixture> m_fx;
    std::unique_ptr<ScriptedPrompts> m_prompts;

    void addRecord(const QString &roomStr, const QString &rom, const QString &holder = QStringLiteral("张三"),
        const QString &time = QStringLiteral("2024-03-05 14:05:00"))
    {
        Sql::exec(m_fx->db(),
            QStringLiteral("Insert Into OpenDoorRecord (RoomStr, Rom, OpenTime, CardType, CardTypeStr, "
                           "CardHolderStr, MakeName) Values (?, ?, ?, 10, ?, ?, ?)"),
            { roomStr, rom, time, QString::fromUtf8("总控卡"), holder, QStringLiteral("admin") });
    }
    QStringList romsShown(const TOpenDoorRecord_Form &form) const
    {
        QStringList roms;
        const auto *model = form.OpenDoorRecord_DBGrid->model();
        for (int r = 0; r < model->rowCount(); ++r)
            roms << model->index(r, 1).data().toString();
        return roms;
    }
    void search(TOpenDoorRecord_Form &form, const QString &text)
    {
        form.Room_Edit->setText(text);
        QTest::mouseClick(form.Query_Bt, Qt::LeftButton);
    }
    QString panel(const TOpenDoorRecord_Form &form) const { return form.StatusPanel0->text(); }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<HotelFixture>();
        QVERIFY(m_fx->isOpen());
        m_prompts = std::make_unique<ScriptedPrompts>();
        windowRegistry().pickRooms = nullptr;
    }
    void cleanup()
    {
        windowRegistry().pickRooms = nullptr;
        Clock::reset();
        m_prompts.reset();
        m_fx.reset();
    }

    void registersItsMenuEntries()
    {
        WindowRegistry registry;
        registerDoorRecordWindows(registry);
        QVERIFY(registry.has(QStringLiteral("ReadDataCard_Menu")));
        QVERIFY(registry.has(QStringLiteral("CheckOpenRecord_Menu")));
        std::unique_ptr<QDialog> window(registry.factory(QStringLiteral("CheckOpenRecord_Menu"))(nullptr, {}));
        QCOMPARE(window->objectName(), QStringLiteral("OpenDoorRecord_Form"));
        QVERIFY(!window->testAttribute(Qt::WA_DeleteOnClose));
    }

    // Nothing is shown, and nothing can be deleted, before the first search.
    void opensEmpty()
    {
        addRecord(QStringLiteral("8101"), QStringLiteral("0A000001"));
        TOpenDoorRecord_Form form;
        QCOMPARE(form.windowTitle(), QString::fromUtf8("查询开门记录"));
        QCOMPARE(form.OpenDoorRecord_DBGrid->model()->rowCount(), 0);
        QCOMPARE(form.OpenDoorRecord_DBGrid->model()->columnCount(), 5);
        QCOMPARE(form.OpenDoorRecord_DBGrid->model()->headerData(3, Qt::Horizontal).toString(),
            QString::fromUtf8("开门时间"));
        QVERIFY(panel(form).isEmpty());
        QVERIFY(!form.Export_Bt->isEnabled());
        QVERIFY(!form.RoomList_Bt->isEnabled()); // no picker registered
        for (QPushButton *b : form.findChildren<QPushButton *>())
            QVERIFY2(!b->autoDefault(), qPrintable(b->objectName()));
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
        QCOMPARE(m_fx->count(QStringLiteral("OpenDoorRecord")), 1);
        QVERIFY(m_prompts->asked.isEmpty());
    }

    // The door-plate text is matched exactly as typed, quotes and all.
    void searchMatchesTheExactText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("roms");
        QTest::newRow("plain") << QStringLiteral("8101") << QStringList { QStringLiteral("A1"), QStringLiteral("A2") };
        QTest::newRow("trailing space") << QStringLiteral("8101 ") << QStringList { QStringLiteral("B1") };
        QTest::newRow("quote") << QStringLiteral("81'01") << QStringList { QStringLiteral("C1") };
        QTest::newRow("empty") << QString() << QStringList { QStringLiteral("D1") };
        QTest::newRow("none") << QStringLiteral("9999") << QStringList {};
    }
    void searchMatchesTheExactText()
    {
        addRecord(QStringLiteral("8101"), QStringLiteral("A1"));
        addRecord(QStringLiteral("8101 "), QStringLiteral("B1"));
        addRecord(QStringLiteral("81'01"), QStringLiteral("C1"));
        addRecord(QStringLiteral("8101"), QStringLiteral("A2"));
        addRecord(QString(QLatin1String("")), QStringLiteral("D1"));
        TOpenDoorRecord_Form form;
        QFETCH(QString, typed);
        QFETCH(QStringList, roms);
        search(form, typed);
        QCOMPARE(romsShown(form), roms);
        QCOMPARE(form.currentRow(), roms.isEmpty() ? -1 : 0);
        QCOMPARE(
            panel(form), roms.isEmpty() ? QStringLiteral("   0 / 0") : QStringLiteral("   1 / %1").arg(roms.size()));
        QVERIFY(form.Export_Bt->isEnabled());
        QVERIFY(m_prompts->asked.isEmpty());
    }

    void panelFollowsTheCurrentRow()
    {
        for (int i = 1; i <= 3; ++i)
            addRecord(QStringLiteral("8101"), QStringLiteral("R%1").arg(i));
        TOpenDoorRecord_Form form;
        search(form, QStringLiteral("8101"));
        QCOMPARE(panel(form), QStringLiteral("   1 / 3"));
        form.OpenDoorRecord_DBGrid->setCurrentIndex(form.OpenDoorRecord_DBGrid->model()->index(2, 0));
        QCOMPARE(panel(form), QStringLiteral("   3 / 3"));
        // A new search starts at the first row again.
        search(form, QStringLiteral("8101"));
        QCOMPARE(form.currentRow(), 0);
        QCOMPARE(panel(form), QStringLiteral("   1 / 3"));
    }

    // The picker's last room lands in the field; Cancel and an empty list change nothing.
    void roomPicker()
    {
        PickerScript script;
        windowRegistry().pickRooms = [&script](QWidget *) {
            ++script.calls;
            return script.answer;
        };
        addRecord(QStringLiteral("8103"), QStringLiteral("P1"));
        TOpenDoorRecord_Form form;
        QVERIFY(form.RoomList_Bt->isEnabled());
        script.answer = QStringList { QStringLiteral("8101"), QStringLiteral("8102"), QStringLiteral("8103") };
        QTest::mouseClick(form.RoomList_Bt, Qt::LeftButton);
        QCOMPARE(form.Room_Edit->text(), QStringLiteral("8103"));
        QCOMPARE(form.OpenDoorRecord_DBGrid->model()->rowCount(), 0); // no search yet
        script.answer = std::nullopt;
        QTest::mouseClick(form.RoomList_Bt, Qt::LeftButton);
        script.answer = QStringList {};
        QTest::mouseClick(form.RoomList_Bt, Qt::LeftButton);
        QCOMPARE(form.Room_Edit->text(), QStringLiteral("8103"));
        QCOMPARE(script.calls, 3);
    }

    // Of two identical records only the current one goes.
    void deletingOneTwinKeepsTheOther()
    {
        addRecord(QStringLiteral("8101"), QStringLiteral("0A000001"));
        addRecord(QStringLiteral("8101"), QStringLiteral("0A000001"));
        TOpenDoorRecord_Form form;
        search(form, QStringLiteral("8101"));
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
        QCOMPARE(m_fx->count(QStringLiteral("OpenDoorRecord")), 1);
        QCOMPARE(romsShown(form), QStringList { QStringLiteral("0A000001") });
        QCOMPARE(panel(form), QStringLiteral("   1 / 1"));
        QVERIFY(m_prompts->asked.isEmpty()); // unasked
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
        QCOMPARE(m_fx->count(QStringLiteral("OpenDoorRecord")), 0);
        QCOMPARE(panel(form), QStringLiteral("   0 / 0"));
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton); // nothing left: nothing happens
    }

    // After a deletion the next row is current, or the previous one at the end.
    void positionAfterDeletion()
    {
        for (int i = 1; i <= 4; ++i)
            addRecord(QStringLiteral("8101"), QStringLiteral("R%1").arg(i));
        TOpenDoorRecord_Form form;
        search(form, QStringLiteral("8101"));
        form.OpenDoorRecord_DBGrid->setCurrentIndex(form.OpenDoorRecord_DBGrid->model()->index(1, 0));
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
        QCOMPARE(romsShown(form), (QStringList { QStringLiteral("R1"), QStringLiteral("R3"), QStringLiteral("R4") }));
        QCOMPARE(form.currentRow(), 1);
        QCOMPARE(panel(form), QStringLiteral("   2 / 3"));
        form.OpenDoorRecord_DBGrid->setCurrentIndex(form.OpenDoorRecord_DBGrid->model()->index(2, 0));
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
        QCOMPARE(form.currentRow(), 1);
        QCOMPARE(panel(form), QStringLiteral("   2 / 2"));
        search(form, QStringLiteral("8101"));
        QCOMPARE(romsShown(form), (QStringList { QStringLiteral("R1"), QStringLiteral("R3") }));
    }

    // Esc closes the window; Ctrl+Alt+F12 offers the translation capture.
    void keys()
    {
        TOpenDoorRecord_Form form;
        QVERIFY(form.findChild<QObject *>(QStringLiteral("Language1")));
        form.show();
        m_prompts->answerCancel();
        QTest::keyClick(form.Room_Edit, Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(m_prompts->asked.size(), 1);
        QCOMPARE(m_prompts->last().icon, QMessageBox::Warning);
        QVERIFY(form.isVisible());
        QTest::keyClick(&form, Qt::Key_Escape);
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QVERIFY(!form.isVisible());
    }

    void csvField_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << QString::fromUtf8("张三") << QString::fromUtf8("张三");
        QTest::newRow("comma") << QStringLiteral("a,b") << QStringLiteral("\"a,b\"");
        QTest::newRow("quote") << QStringLiteral("say \"hi\"") << QStringLiteral("\"say \"\"hi\"\"\"");
        QTest::newRow("line break") << QStringLiteral("a\nb") << QStringLiteral("\"a\nb\"");
        QTest::newRow("formula") << QStringLiteral("=SUM(A1)") << QStringLiteral("'=SUM(A1)");
        QTest::newRow("plus") << QStringLiteral("+1") << QStringLiteral("'+1");
        QTest::newRow("minus") << QStringLiteral("-1") << QStringLiteral("'-1");
        QTest::newRow("at") << QStringLiteral("@x") << QStringLiteral("'@x");
        QTest::newRow("tab") << QStringLiteral("\tx") << QStringLiteral("'\tx");
        QTest::newRow("carriage return") << QStringLiteral("\rx") << QStringLiteral("\"'\rx\"");
        QTest::newRow("full-width equals") << QString::fromUtf8("＝1") << QString::fromUtf8("'＝1");
        QTest::newRow("full-width minus") << QString::fromUtf8("－1") << QString::fromUtf8("'－1");
        QTest::newRow("formula with comma") << QStringLiteral("=A1,B1") << QStringLiteral("\"'=A1,B1\"");
        QTest::newRow("minus inside") << QStringLiteral("8-1") << QStringLiteral("8-1");
        QTest::newRow("empty") << QString() << QString();
    }
    void csvField()
    {
        QFETCH(QString, cell);
        QFETCH(QString, field);
        QCOMPARE(CsvExport::field(cell), field);
    }

    // The rows as shown, with a byte-order mark and CRLF line ends.
    void exportsTheRowsShown()
    {
        addRecord(QStringLiteral("8101"), QStringLiteral("0A000001"), QStringLiteral("=HYPERLINK(\"x\")"));
        addRecord(QStringLiteral("8101"), QStringLiteral("0A000002"), QStringLiteral("李,四"),
            QStringLiteral("2024-03-05 23:59:00"));
        addRecord(QStringLiteral("8102"), QStringLiteral("0A000003"));
        Clock::set(QDateTime(QDate(2024, 3, 5), QTime(14, 30, 0)));
        TOpenDoorRecord_Form form;
        search(form, QStringLiteral("8101"));
        const QString path = m_fx->env().programFile(QStringLiteral("out.csv"));
        m_prompts->answerFile(path);
        QTest::mouseClick(form.Export_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->last().kind, ScriptedPrompts::SaveFile);
        QCOMPARE(m_prompts->last().defaultText, QString::fromUtf8("开门记录_20240305143000.csv"));
        QCOMPARE(m_prompts->last().filter, QStringLiteral("CSV (*.csv)"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray expected = QByteArray("\xEF\xBB\xBF")
            + QString::fromUtf8("房间号,卡类型,卡号,持卡人,开门时间,发卡人\r\n"
                                "8101,总控卡,0A000001,\"'=HYPERLINK(\"\"x\"\")\",2024-03-05 14:05,admin\r\n"
                                "8101,总控卡,0A000002,\"李,四\",2024-03-05 23:59,admin\r\n")
                  .toUtf8();
        QCOMPARE(file.readAll(), expected);
        QCOMPARE(m_prompts->asked.size(), 1); // no box on success
    }

    // A file that cannot be written: the reason is shown and nothing is left behind.
    void exportFailureLeavesNoFile()
    {
        addRecord(QStringLiteral("8101"), QStringLiteral("0A000001"));
        TOpenDoorRecord_Form form;
        search(form, QStringLiteral("8101"));
        const QString path = m_fx->env().programFile(QStringLiteral("missing-folder/out.csv"));
        m_prompts->answerFile(path);
        m_prompts->answerOk();
        QTest::mouseClick(form.Export_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->asked.size(), 2);
        QVERIFY2(
            m_prompts->last().text.startsWith(QString::fromUtf8("导出失败：")), qPrintable(m_prompts->last().text));
        QVERIFY(m_prompts->last().text.size() > QString::fromUtf8("导出失败：").size());
        QVERIFY(!QFile::exists(path));

        // Cancelling the file dialog writes nothing and asks nothing more.
        m_prompts->answerFile(QString());
        QTest::mouseClick(form.Export_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->asked.size(), 3);
    }
};

QTEST_MAIN(TestDoorRecords)
#include "tst_doorrecords.moc"
