#include "DistrictSetting_Form.h"
#include "HotelFixture.h"
#include "HotelSetup.h"
#include "ScriptedPrompts.h"
#include "Sql.h"
#include "TarvaneApplication.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {
QString u8(const char *text)
{
    return QString::fromUtf8(text);
}
} // namespace

class TestDistricts : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<HotelFixture> m_hotel;
    std::unique_ptr<ScriptedPrompts> m_prompts;

    void openHotel(bool postgres)
    {
        m_hotel = std::make_unique<HotelFixture>(postgres);
        QVERIFY(m_hotel->isOpen());
    }

    void addDistricts(const QList<int> &numbers)
    {
        for (const int n : numbers)
            Sql::exec(m_hotel->db(), QStringLiteral("INSERT INTO District (DistrictNumber, Notes) VALUES (?, ?)"),
                { n, QStringLiteral("zone %1").arg(n) });
    }

    // Number and notes in number order; NULL notes shown as "<null>".
    QStringList districts() const
    {
        QSqlQuery query = Sql::exec(
            m_hotel->db(), QStringLiteral("SELECT DistrictNumber, Notes FROM District ORDER BY DistrictNumber"));
        QStringList rows;
        while (query.next())
            rows << query.value(0).toString() + QLatin1Char('/')
                    + (query.value(1).isNull() ? QStringLiteral("<null>") : query.value(1).toString());
        return rows;
    }

    static QStringList gridNumbers(TDistrictSetting_Form *form)
    {
        QStringList numbers;
        for (int r = 0; r < form->RoomInfo_ado->rowCount(); ++r)
            numbers << form->RoomInfo_ado->index(r, 0).data().toString();
        return numbers;
    }

    std::unique_ptr<TDistrictSetting_Form> makeForm()
    {
        auto form = std::make_unique<TDistrictSetting_Form>();
        form->show();
        return form;
    }

    static void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    void runAddRule(bool postgres)
    {
        openHotel(postgres);
        const QSqlDatabase db = m_hotel->db();
        QCOMPARE(Districts::add(db, QStringLiteral("2"), QStringLiteral("a'b")), Districts::AddResult::Added);
        QCOMPARE(Districts::add(db, QStringLiteral("2"), QStringLiteral("again")), Districts::AddResult::Duplicate);
        QCOMPARE(Districts::add(db, QStringLiteral("3"), QString()), Districts::AddResult::Added);
        QCOMPARE(districts(), QStringList({ QStringLiteral("2/a'b"), QStringLiteral("3/") }));
        try {
            Districts::add(db, QStringLiteral("2 or 1=1"), QString());
            QFAIL("a text that is no number was taken");
        } catch (const ConversionError &error) {
            QCOMPARE(error.text(), QStringLiteral("'2 or 1=1' is not a valid integer value"));
        }
        QCOMPARE(m_hotel->count(QStringLiteral("District")), 2);
        Districts::remove(db, 2);
        QCOMPARE(districts(), QStringList { QStringLiteral("3/") });
    }

private Q_SLOTS:
    void init() { m_prompts = std::make_unique<ScriptedPrompts>(); }
    void cleanup()
    {
        m_prompts.reset();
        m_hotel.reset();
    }

    void addRuleEmbedded() { runAddRule(false); }
    void addRuleServer()
    {
        if (!HotelFixture::postgresConfigured())
            QSKIP("no PostgreSQL server configured");
        runAddRule(true);
    }

    void addsInNumberOrder()
    {
        openHotel(false);
        addDistricts({ 5, 1, 2 });
        auto form = makeForm();
        QCOMPARE(form->windowTitle(), u8("区域设置"));
        QCOMPARE(gridNumbers(form.get()), QStringList({ "1", "2", "5" }));
        QVERIFY(!form->Dn_Edit->isEnabled());
        QVERIFY(!form->Save_Bt->isEnabled());

        click(form->Add_Bt);
        QVERIFY(form->Dn_Edit->isEnabled() && form->Notes_Edit->isEnabled());
        QVERIFY(!form->Add_Bt->isEnabled() && !form->Delete_Bt->isEnabled() && !form->Save_Bt->isEnabled());
        QCOMPARE(form->focusWidget(), form->Dn_Edit);
        QTest::keyClicks(form->Dn_Edit, QStringLiteral("3"));
        QVERIFY(form->Save_Bt->isEnabled());
        click(form->Save_Bt);

        QVERIFY(m_prompts->asked.isEmpty());
        QCOMPARE(gridNumbers(form.get()), QStringList({ "1", "2", "3", "5" }));
        QCOMPARE(districts().at(2), QStringLiteral("3/")); // empty notes stay empty text
        QVERIFY(form->Dn_Edit->text().isEmpty() && !form->Dn_Edit->isEnabled());
        QVERIFY(form->Add_Bt->isEnabled() && !form->Delete_Bt->isEnabled() && !form->Save_Bt->isEnabled());
    }

    void refusedNumbersKeepTheTexts_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::newRow("repeated") << "2" << u8("区域号不能重复!") << QMessageBox::NoIcon;
        QTest::newRow("letters") << "ab"
                                 << "'ab' is not a valid integer value" << QMessageBox::Critical;
        QTest::newRow("quote") << "8'01"
                               << "'8'01' is not a valid integer value" << QMessageBox::Critical;
    }
    void refusedNumbersKeepTheTexts()
    {
        QFETCH(QString, number);
        QFETCH(QString, message);
        QFETCH(QMessageBox::Icon, icon);
        openHotel(false);
        addDistricts({ 1, 2, 5 });
        const QStringList before = districts();
        auto form = makeForm();
        click(form->Add_Bt);
        QTest::keyClicks(form->Dn_Edit, number);
        form->Notes_Edit->setText(QStringLiteral("east wing"));
        m_prompts->answerOk();
        click(form->Save_Bt);
        QCOMPARE(m_prompts->texts(), QStringList { message });
        QCOMPARE(m_prompts->last().icon, icon);
        QCOMPARE(districts(), before);
        QCOMPARE(gridNumbers(form.get()), QStringList({ "1", "2", "5" }));
        QCOMPARE(form->Dn_Edit->text(), number);
        QCOMPARE(form->Notes_Edit->text(), QStringLiteral("east wing"));
    }

    void numberStoredByAnotherDeskMeanwhile()
    {
        openHotel(false);
        auto form = makeForm();
        click(form->Add_Bt);
        QTest::keyClicks(form->Dn_Edit, QStringLiteral("7"));
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other-desk"));
            other.setDatabaseName(m_hotel->databaseFile());
            QVERIFY(other.open());
            Sql::exec(other, QStringLiteral("INSERT INTO District (DistrictNumber, Notes) VALUES (7, 'theirs')"));
            other.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other-desk"));
        m_prompts->answerOk();
        click(form->Save_Bt);
        QCOMPARE(m_prompts->texts(), QStringList { u8("区域号不能重复!") });
        QCOMPARE(districts(), QStringList { QStringLiteral("7/theirs") });
    }

    void deleteRightAfterOpeningTakesTheFirstDistrict()
    {
        openHotel(false);
        addDistricts({ 4, 2, 9 });
        Sql::exec(m_hotel->db(),
            QStringLiteral("INSERT INTO RoomInfo (Room, RoomStr, SystemRoomStr, Buiding, Floor, "
                           "RoomNumber, District) VALUES (101, '101', '010101', 1, 1, 1, 2)"));
        auto form = makeForm();
        click(form->Delete_Bt);
        QVERIFY(m_prompts->asked.isEmpty());
        QCOMPARE(gridNumbers(form.get()), QStringList({ "4", "9" }));
        QCOMPARE(m_hotel->count(QStringLiteral("RoomInfo")), 1); // only the district row goes
        QVERIFY(!form->Save_Bt->isEnabled());

        // Esc does not close this window.
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &escape);
        QVERIFY(form->isVisible());
    }
};

QTEST_MAIN(TestDistricts)
#include "tst_districts.moc"
