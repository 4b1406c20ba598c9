// The hourly room window: hours and end following each other, the issue
// shared with check-in, and its own outcome texts.
#include "ClockRoom_Form.h"
#include "DeskInSupport.h"
#include "DeskWindows.h"
#include "Identifiers.h"
#include "ScriptedPrompts.h"
#include "TarvaneApplication.h"
#include "WindowRegistry.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

namespace {

const QDateTime Now(QDate(2024, 3, 5), QTime(14, 10, 27));

} // namespace

class TestClockRoom : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<DeskInHotel> m_desk;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<TClockRoom_Form> m_form;

    void open(const QDateTime &now = Now)
    {
        Clock::set(now);
        m_form = std::make_unique<TClockRoom_Form>();
        m_form->se_Room1->setText(QStringLiteral("1315"));
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    QDateTime shownEnd() const { return QDateTime(m_form->ED_GQI_Dtp->date(), m_form->ET_GQI_Dtp->time()); }

private Q_SLOTS:
    void init()
    {
        m_desk = std::make_unique<DeskInHotel>();
        m_desk->hotel.addRoom(QStringLiteral("1315"), 1, 3, 15);
        m_desk->sim->PutBlankCard();
        m_desk->sim->ClearCallLog();
        m_prompts = std::make_unique<ScriptedPrompts>();
    }
    void cleanup()
    {
        m_form.reset();
        m_prompts.reset();
        m_desk.reset();
        Clock::reset();
        RoomsChanged = false;
    }

    void setUp()
    {
        open();
        QCOMPARE(m_form->windowTitle(), QString::fromUtf8("开钟点房--发行客人卡"));
        QCOMPARE(m_form->objectName(), QStringLiteral("ClockRoom_Form"));
        QCOMPARE(m_form->Days_Label->text(), QString::fromUtf8("入住钟点："));
        QCOMPARE(m_form->DaysUnit_Label->text(), QString::fromUtf8("小时"));
        QCOMPARE(m_form->Days_Edit->text(), QStringLiteral("1"));
        QCOMPARE(shownEnd(), Now.addSecs(3600));
    }

    void lateEveningEndsTomorrow()
    {
        open(QDateTime(QDate(2024, 3, 5), QTime(23, 30)));
        QCOMPARE(m_form->SD_GQI_Dtp->date(), QDate(2024, 3, 5));
        QCOMPARE(m_form->ST_GQI_Dtp->time(), QTime(23, 30));
        QCOMPARE(shownEnd(), QDateTime(QDate(2024, 3, 6), QTime(0, 30)));
        QCOMPARE(m_form->Days_Edit->text(), QStringLiteral("1"));
    }

    void hoursAndEnd()
    {
        open();
        m_form->Days_Edit->setText(QStringLiteral("5"));
        QCOMPARE(shownEnd(), Now.addSecs(5 * 3600));
        m_form->Days_Edit->setText(QStringLiteral("2x"));
        QCOMPARE(shownEnd(), Now.addSecs(5 * 3600));

        // Ninety minutes: 1.5 is written and ignored.
        m_form->ET_GQI_Dtp->setTime(Now.time().addSecs(90 * 60));
        QCOMPARE(m_form->Days_Edit->text(), QStringLiteral("1.5"));
        QCOMPARE(m_form->ET_GQI_Dtp->time(), Now.time().addSecs(90 * 60));

        // 12 hours 15 minutes shows 12 but keeps its quarter hour.
        const QDateTime end = Now.addSecs(12 * 3600 + 15 * 60);
        m_form->ED_GQI_Dtp->setDate(end.date());
        m_form->ET_GQI_Dtp->setTime(end.time());
        QCOMPARE(m_form->Days_Edit->text(), QStringLiteral("12"));
        QCOMPARE(shownEnd(), end);

        // A day ahead by the date picker alone.
        m_form->Days_Edit->setText(QStringLiteral("3"));
        m_form->ED_GQI_Dtp->setDate(QDate(2024, 3, 6));
        QCOMPARE(m_form->Days_Edit->text(), QStringLiteral("27"));
    }

    void issueWithTolerance()
    {
        SystemSettings.TimeTolerance = 15;
        SystemSettings.TranslationActive = true;
        open();
        SystemSettings.TranslationActive = false;
        m_form->Days_Edit->setText(QStringLiteral("3"));
        QTest::mouseClick(m_form->Confirm_Bt, Qt::LeftButton);
        SystemSettings.TimeTolerance = 0;
        QCOMPARE(m_form->Prompt_Label->text(), QString::fromUtf8("操作成功！"));
        QVERIFY(RoomsChanged);
        QCOMPARE(m_form->Days_Edit->text(), QStringLiteral("3"));
        QCOMPARE(Sql::readDateTime(m_desk->scalar(QStringLiteral("SELECT GuestInTime FROM GuestInRecord"))),
            Now.addSecs(15 * 60));
        QCOMPARE(Sql::readDateTime(m_desk->scalar(QStringLiteral("SELECT GuestLeaveTime FROM GuestInRecord"))),
            Now.addSecs(3 * 3600 + 15 * 60));
        QCOMPARE(CardTimeToDateTime(m_desk->sim->card().StartTime), QDateTime(Now.date(), QTime(14, 25)));
        QCOMPARE(m_desk->cardSn(QStringLiteral("1315")), 1);
        QCOMPARE(m_desk->scalar(QStringLiteral("SELECT Explain FROM MakeCardRecord")).toString(),
            QString::fromUtf8("钟点房发卡，房号：1315"));
        QVERIFY(m_prompts->asked.isEmpty());
    }

    void failureReadsOperationFailed_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("no card") << "no card";
        QTest::newRow("no encoder") << "no encoder";
        QTest::newRow("write fails") << "write fails";
    }
    void failureReadsOperationFailed()
    {
        QFETCH(QString, failure);
        open();
        if (failure == QLatin1String("no card"))
            m_desk->sim->TakeCard();
        else if (failure == QLatin1String("no encoder"))
            m_desk->sim->SetConnected(0);
        else
            m_desk->sim->FailNext("MakeGuestCard", -15);
        QTest::mouseClick(m_form->Confirm_Bt, Qt::LeftButton);
        QCOMPARE(m_form->Prompt_Label->text(), QString::fromUtf8("操作失败！"));
        // The encoder is not probed for a text.
        const QStringList calls = m_desk->sim->calls();
        QVERIFY(!calls.isEmpty());
        QVERIFY2(!calls.last().startsWith(QLatin1String("ReadSystemPas")), qPrintable(calls.join(';')));
        QVERIFY(std::none_of(calls.begin(), calls.end(),
            [](const QString &call) { return call.startsWith(QLatin1String("Detect_EncoderA")); }));
        QCOMPARE(m_desk->journalRows(), 0);
        QCOMPARE(m_desk->hotel.count(QStringLiteral("GuestInRecord")), 0);
        QVERIFY(m_form->Confirm_Bt->isEnabled());
    }

    void refusalsAndKeys()
    {
        open();
        m_form->se_Room1->setText(QStringLiteral("13'15"));
        m_prompts->answerOk();
        QTest::mouseClick(m_form->Confirm_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->texts(), QStringList { QString::fromUtf8("没有该房号！") });
        QVERIFY(!RoomsChanged);

        m_form->se_Room1->setText(QStringLiteral("1315"));
        QTest::keyClick(m_form->se_Room1, Qt::Key_Return);
        QVERIFY(m_desk->sim->calls().isEmpty());
        QVERIFY(m_form->isVisible());

        // An end before the start's date is refused, the flag set.
        m_prompts->clear();
        m_form->ED_GQI_Dtp->setDate(QDate(2024, 3, 4));
        m_prompts->answerOk();
        QTest::mouseClick(m_form->Confirm_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->texts(), QStringList { QString::fromUtf8("日期范围无效！") });
        QVERIFY(RoomsChanged);
        QVERIFY(m_desk->sim->calls().isEmpty());

        QTest::keyClick(m_form->Days_Edit, Qt::Key_Escape);
        QVERIFY(!m_form->isVisible());
    }

    void registered()
    {
        WindowRegistry registry;
        registerCheckInWindows(registry);
        std::unique_ptr<QDialog> window(registry.factory(QStringLiteral("ClockRoom_Menu"))(nullptr, {}));
        QVERIFY(qobject_cast<TClockRoom_Form *>(window.get()));
    }
};

int main(int argc, char **argv)
{
    TarvaneApplication app(argc, argv);
    TestClockRoom test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_clockroom.moc"
