// The card journal browser: whole-day bounds, the card type filter, the
// position shown, pruning rows older than two months and who may prune.
#include "CardJournalQuery.h"
#include "Clock.h"
#include "HotelFixture.h"
#include "MC_R_From.h"
#include "Operators.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "Sql.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <memory>

namespace {

QDateTime at(int y, int m, int d, int hh = 12, int mm = 0, int ss = 0)
{
    return QDateTime(QDate(y, m, d), QTime(hh, mm, ss));
}

void addJournalRow(const QSqlDatabase &db, int cardType, const QDateTime &inputTime, const QString &holder = {})
{
    Sql::exec(db,
        QStringLiteral("INSERT INTO MakeCardRecord (CardType, Rom, Holder, MakeUser, MakeName, InputTime, "
                       "StartTime, EndTime) VALUES (?, ?, ?, 'admin', 'Admin', ?, ?, ?)"),
        { cardType, QStringLiteral("0A00012C"), holder.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : holder,
            Sql::dateTimeValue(inputTime), Sql::dateTimeValue(inputTime), Sql::dateTimeValue(inputTime.addDays(1)) });
}

QStringList holders(QSqlQuery query)
{
    QStringList found;
    while (query.next())
        found << query.value(2).toString();
    found.sort();
    return found;
}

QStringList journalHolders(const QSqlDatabase &db)
{
    QSqlQuery query = Sql::exec(db, QStringLiteral("SELECT Holder FROM MakeCardRecord"));
    QStringList found;
    while (query.next())
        found << query.value(0).toString();
    found.sort();
    return found;
}

} // namespace

class TestCardJournal : public QObject {
    Q_OBJECT

private:
    void addDialects()
    {
        QTest::addColumn<bool>("postgres");
        QTest::newRow("embedded") << false;
        QTest::newRow("server") << true;
    }
    // A fresh hotel on the row's dialect; null when the server is not configured.
    std::unique_ptr<HotelFixture> hotel()
    {
        QFETCH(bool, postgres);
        if (postgres && !HotelFixture::postgresConfigured())
            return nullptr;
        return std::make_unique<HotelFixture>(postgres);
    }

private Q_SLOTS:
    void cleanup() { Clock::reset(); }

    void wholeDayBounds_data() { addDialects(); }
    void wholeDayBounds();
    void cardTypeFilter_data() { addDialects(); }
    void cardTypeFilter();
    void pruneKeepsTheLastTwoMonths_data() { addDialects(); }
    void pruneKeepsTheLastTwoMonths();

    void windowOpensOnTodayOfAllTypes();
    void choosingATypeSearchesAtOnce();
    void positionFollowsTheCurrentRow();
    void translatedMessagesNameAllTypes();
    void pruneAsksThenDeletes();
    void pruneRight_data();
    void pruneRight();
};

void TestCardJournal::wholeDayBounds()
{
    const auto fixture = hotel();
    if (!fixture)
        QSKIP("no PostgreSQL server configured");
    const QSqlDatabase db = fixture->db();
    addJournalRow(db, 5, at(2024, 3, 4, 23, 59, 59), QStringLiteral("before"));
    addJournalRow(db, 5, at(2024, 3, 5, 0, 0, 0), QStringLiteral("first"));
    addJournalRow(db, 10, at(2024, 3, 6, 23, 59, 59), QStringLiteral("last"));
    addJournalRow(db, 5, at(2024, 3, 7, 0, 0, 0), QStringLiteral("after"));
    addJournalRow(db, 77, at(2024, 3, 5), QStringLiteral("no such type"));

    const CardJournalFilter both { QDate(2024, 3, 5), QDate(2024, 3, 6), std::nullopt };
    QCOMPARE(holders(selectCardJournal(both, db)), (QStringList { "first", "last" }));
    QCOMPARE(countCardJournal(both, db), 2);

    const CardJournalFilter oneDay { QDate(2024, 3, 6), QDate(2024, 3, 6), std::nullopt };
    QCOMPARE(holders(selectCardJournal(oneDay, db)), QStringList { "last" });

    const CardJournalFilter reversed { QDate(2024, 3, 6), QDate(2024, 3, 5), std::nullopt };
    QCOMPARE(countCardJournal(reversed, db), 0);
    QVERIFY(!selectCardJournal(reversed, db).next());
}

void TestCardJournal::cardTypeFilter()
{
    const auto fixture = hotel();
    if (!fixture)
        QSKIP("no PostgreSQL server configured");
    const QSqlDatabase db = fixture->db();
    const QString quoted = QStringLiteral("O'Brien's 卡");
    Sql::exec(db, QStringLiteral("INSERT INTO CardType (ID, C_Title) VALUES (99, ?)"), { quoted });
    addJournalRow(db, 99, at(2024, 3, 5), QStringLiteral("quoted"));
    addJournalRow(db, 5, at(2024, 3, 5), QStringLiteral("floor"));

    QCOMPARE(cardTypeTitles(db).last(), quoted);
    QCOMPARE(cardTypeTitles(db).first(), QStringLiteral("清除卡")); // ID order

    const CardJournalFilter onlyQuoted { QDate(2024, 3, 5), QDate(2024, 3, 5), quoted };
    QCOMPARE(holders(selectCardJournal(onlyQuoted, db)), QStringList { "quoted" });
    QCOMPARE(countCardJournal(onlyQuoted, db), 1);
    const CardJournalFilter floorCards { QDate(2024, 3, 5), QDate(2024, 3, 5), QStringLiteral("楼层卡") };
    QCOMPARE(holders(selectCardJournal(floorCards, db)), QStringList { "floor" });
}

void TestCardJournal::pruneKeepsTheLastTwoMonths()
{
    const auto fixture = hotel();
    if (!fixture)
        QSKIP("no PostgreSQL server configured");
    const QSqlDatabase db = fixture->db();
    const QDate cutoff = pruneCutoff(QDate(2023, 3, 10));
    QCOMPARE(cutoff, QDate(2023, 1, 9));
    addJournalRow(db, 4, at(2022, 12, 31), QStringLiteral("old guest"));
    addJournalRow(db, 10, at(2023, 1, 9, 23, 59, 59), QStringLiteral("last pruned"));
    addJournalRow(db, 10, at(2023, 1, 10, 0, 0, 0), QStringLiteral("first kept"));
    addJournalRow(db, 5, at(2023, 3, 10), QStringLiteral("today"));

    QCOMPARE(pruneCardJournal(cutoff, db), 2);
    QCOMPARE(journalHolders(db), (QStringList { "first kept", "today" }));
}

void TestCardJournal::windowOpensOnTodayOfAllTypes()
{
    ScriptedPrompts prompts;
    HotelFixture fixture;
    fixture.addOperator(QStringLiteral("admin"), QStringLiteral("pw"), operatorRightColumns());
    SystemSettings.Staffer = QStringLiteral("admin");
    Clock::set(at(2024, 3, 5, 15));
    addJournalRow(fixture.db(), 5, at(2024, 3, 5, 9), QStringLiteral("floor"));
    addJournalRow(fixture.db(), 10, at(2024, 3, 5, 10), QStringLiteral("master"));
    addJournalRow(fixture.db(), 10, at(2024, 3, 4, 10), QStringLiteral("yesterday"));

    TMC_R_From form;
    QCOMPARE(form.objectName(), QStringLiteral("MC_R_From"));
    QCOMPARE(form.windowTitle(), QStringLiteral("查询发卡记录"));
    QCOMPARE(form.DateStart_Dtp->date(), QDate(2024, 3, 5));
    QCOMPARE(form.DateEnd_Dtp->date(), QDate(2024, 3, 5));
    QCOMPARE(form.CardType_CB->count(), cardTypeTitles(fixture.db()).size() + 1);
    QCOMPARE(form.CardType_CB->currentIndex(), form.CardType_CB->count() - 1);
    QVERIFY(form.Check_Bt->isDefault());
    QVERIFY(!form.DeleteOldData_Bt->autoDefault());

    QCOMPARE(form.rowCount(), 2);
    QCOMPARE(form.StatusPanels[0]->text(), QStringLiteral("1/2"));
    QCOMPARE(form.DBGrid1->currentIndex().row(), 0);
    QCOMPARE(form.MC_S_ADO->headerData(TMC_R_From::InputTime, Qt::Horizontal).toString(), QStringLiteral("发卡时间"));
    QCOMPARE(form.MC_S_ADO->headerData(TMC_R_From::C_Title, Qt::Horizontal).toString(), QStringLiteral("卡种类"));
    for (int column : { int(TMC_R_From::Rom), int(TMC_R_From::StartTime), int(TMC_R_From::Explain), 3 })
        QVERIFY(form.DBGrid1->isColumnHidden(column));
    for (int column : { int(TMC_R_From::C_Title), int(TMC_R_From::Holder), int(TMC_R_From::EndTime) })
        QVERIFY(!form.DBGrid1->isColumnHidden(column));
    QVERIFY(prompts.asked.isEmpty());
}

void TestCardJournal::choosingATypeSearchesAtOnce()
{
    ScriptedPrompts prompts;
    HotelFixture fixture;
    Clock::set(at(2024, 3, 5, 15));
    addJournalRow(fixture.db(), 5, at(2024, 3, 5, 9), QStringLiteral("floor"));
    addJournalRow(fixture.db(), 10, at(2024, 3, 5, 10), QStringLiteral("master"));
    TMC_R_From form;
    QCOMPARE(form.rowCount(), 2);

    form.CardType_CB->setCurrentIndex(form.CardType_CB->findText(QStringLiteral("总控卡")));
    QCOMPARE(form.rowCount(), 1);
    QCOMPARE(form.MC_S_ADO->data(form.MC_S_ADO->index(0, TMC_R_From::Holder)).toString(), QStringLiteral("master"));
    QCOMPARE(form.MC_S_ADO->data(form.MC_S_ADO->index(0, TMC_R_From::InputTime)).toString(),
        QStringLiteral("2024-03-05 10:00:00"));
    QCOMPARE(form.StatusPanels[0]->text(), QStringLiteral("1/1"));

    // A later start than end finds nothing.
    form.DateStart_Dtp->setDate(QDate(2024, 3, 6));
    QTest::mouseClick(form.Check_Bt, Qt::LeftButton);
    QCOMPARE(form.rowCount(), 0);
    QCOMPARE(form.StatusPanels[0]->text(), QStringLiteral("0/0"));
}

void TestCardJournal::positionFollowsTheCurrentRow()
{
    ScriptedPrompts prompts;
    HotelFixture fixture;
    Clock::set(at(2024, 3, 5, 15));
    for (int hour = 1; hour <= 3; ++hour)
        addJournalRow(fixture.db(), 5, at(2024, 3, 5, hour));
    TMC_R_From form;
    form.DBGrid1->setCurrentIndex(form.MC_S_ADO->index(2, TMC_R_From::Holder));
    QCOMPARE(form.StatusPanels[0]->text(), QStringLiteral("3/3"));
    // A new search starts again at the first row.
    QTest::mouseClick(form.Check_Bt, Qt::LeftButton);
    QCOMPARE(form.DBGrid1->currentIndex().row(), 0);
    QCOMPARE(form.StatusPanels[0]->text(), QStringLiteral("1/3"));
}

void TestCardJournal::translatedMessagesNameAllTypes()
{
    ScriptedPrompts prompts;
    HotelFixture fixture;
    fixture.env().copyFromBin(QStringLiteral("db/Language.db"));
    SystemSettings.LanguageID = 2052;
    SystemSettings.TranslationActive = true;
    Clock::set(at(2024, 3, 5, 15));
    addJournalRow(fixture.db(), 5, at(2024, 3, 5, 9));
    TMC_R_From form;
    SystemSettings.TranslationActive = false;
    QCOMPARE(form.CardType_CB->currentText(), QStringLiteral("所有卡类型"));
    QCOMPARE(form.StatusPanels[0]->text(), QStringLiteral("记录：1/1"));
    QVERIFY(prompts.asked.isEmpty());
}

void TestCardJournal::pruneAsksThenDeletes()
{
    ScriptedPrompts prompts;
    HotelFixture fixture;
    fixture.addOperator(QStringLiteral("admin"), QStringLiteral("pw"), operatorRightColumns());
    SystemSettings.Staffer = QStringLiteral("admin");
    Clock::set(at(2023, 3, 10, 15));
    addJournalRow(fixture.db(), 10, at(2023, 1, 9, 23, 59, 59), QStringLiteral("old"));
    addJournalRow(fixture.db(), 10, at(2023, 1, 10, 0, 0, 0), QStringLiteral("kept"));
    TMC_R_From form;
    QVERIFY(form.DeleteOldData_Bt->isEnabled());
    const QString question = QStringLiteral("是否要删除") + QLocale().toString(QDate(2023, 1, 9), QLocale::ShortFormat)
        + QStringLiteral("以前的制卡记录?");

    prompts.answerCancel();
    QTest::mouseClick(form.DeleteOldData_Bt, Qt::LeftButton);
    QCOMPARE(prompts.last().text, question);
    QCOMPARE(prompts.last().title, QStringLiteral("信息提示"));
    QCOMPARE(prompts.last().icon, QMessageBox::Question);
    QCOMPARE(prompts.last().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(journalHolders(fixture.db()), (QStringList { "kept", "old" }));

    form.DateStart_Dtp->setDate(QDate(2023, 1, 1));
    prompts.answerOk();
    QTest::mouseClick(form.DeleteOldData_Bt, Qt::LeftButton);
    QCOMPARE(journalHolders(fixture.db()), QStringList { "kept" });
    QCOMPARE(form.rowCount(), 1); // searched again
}

void TestCardJournal::pruneRight_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("settings right") << "admin" << true;
    QTest::newRow("other case") << "ADMIN" << true;
    QTest::newRow("no settings right") << "clerk" << false;
    QTest::newRow("no operator row") << "ghost" << false;
}

void TestCardJournal::pruneRight()
{
    QFETCH(QString, login);
    QFETCH(bool, enabled);
    ScriptedPrompts prompts;
    HotelFixture fixture;
    fixture.addOperator(QStringLiteral("admin"), QStringLiteral("pw"), { QStringLiteral("SystemInfo") });
    QStringList clerkRights = operatorRightColumns();
    clerkRights.removeAll(QStringLiteral("SystemInfo"));
    fixture.addOperator(QStringLiteral("clerk"), QStringLiteral("pw"), clerkRights);
    SystemSettings.Staffer = login;
    TMC_R_From form;
    QCOMPARE(form.DeleteOldData_Bt->isEnabled(), enabled);
}

QTEST_MAIN(TestCardJournal)
#include "tst_cardjournal.moc"
