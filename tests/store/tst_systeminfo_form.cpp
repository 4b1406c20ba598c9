#include "AppState.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "StoreWindows.h"
#include "SystemInfo_Form.h"
#include "TarvaneApplication.h"
#include "TestEnv.h"
#include "TranslationHooks.h"
#include "WindowRegistry.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sys/stat.h>

namespace {
QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}
} // namespace

class TestSystemInfoForm : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    QStringList m_hookCalls;

    std::unique_ptr<TSystemInfo_Form> makeForm()
    {
        auto form = std::make_unique<TSystemInfo_Form>();
        form->show();
        return form;
    }
    template <typename T> static T *child(QWidget *form, const char *name)
    {
        T *widget = form->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    static void setText(QWidget *form, const char *name, const QString &text)
    {
        QLineEdit *edit = child<QLineEdit>(form, name);
        edit->selectAll();
        // QTest types Latin-1 only; Chinese arrives as an input method would put it.
        if (text.toLatin1() == text.toUtf8())
            QTest::keyClicks(edit, text);
        else
            edit->insert(text);
    }
    void clickSave(QWidget *form) { QTest::mouseClick(child<QPushButton>(form, "Button1"), Qt::LeftButton); }
    QStringList promptTitles() const
    {
        QStringList titles;
        for (const auto &a : m_prompts->asked)
            titles << a.title;
        return titles;
    }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_prompts = std::make_unique<ScriptedPrompts>();
        clearProgramEndRequest();
        m_hookCalls.clear();
        // The hooks run while the window is made, once its controls exist.
        translationHooks().apply = [this](QWidget *w) {
            m_hookCalls << QStringLiteral("apply:%1:%2")
                               .arg(w->objectName())
                               .arg(w->findChild<QLineEdit *>(QStringLiteral("HotelName_Edit")) != nullptr);
        };
        translationHooks().installPrompt
            = [this](QWidget *w) { m_hookCalls << QStringLiteral("prompt:%1").arg(w->objectName()); };
        SystemSettings = {};
        SystemSettings.HotelName = u8("东方大酒店");
        SystemSettings.DayCount = 3;
        SystemSettings.LeaveTime = QTime(9, 5);
        SystemSettings.UseRoomID = true;
        SystemSettings.Staffer = QStringLiteral("amy");
        SystemSettings.TranslationActive = true;
    }
    void cleanup()
    {
        translationHooks() = {};
        m_prompts.reset();
        m_env.reset();
        SystemSettings = {};
        clearProgramEndRequest();
    }

    void showsRecordsAndHooks()
    {
        m_env->writeProfile("[Config]\nLockType=3\n");
        auto form = makeForm();
        QCOMPARE(form->objectName(), QStringLiteral("SystemInfo_Form"));
        QCOMPARE(form->windowTitle(), u8("基本参数设置"));
        QCOMPARE(m_hookCalls,
            QStringList({ QStringLiteral("apply:SystemInfo_Form:1"), QStringLiteral("prompt:SystemInfo_Form") }));

        QCOMPARE(child<QLineEdit>(form.get(), "HotelName_Edit")->text(), u8("东方大酒店"));
        QCOMPARE(child<QLineEdit>(form.get(), "LeaveTime_Edit")->text(), QStringLiteral("09:05:00"));
        auto *days = child<QSpinBox>(form.get(), "DayCount_SE");
        QCOMPARE(days->value(), 3);
        QCOMPARE(days->minimum(), 0);
        QCOMPARE(days->maximum(), 100);
        QCOMPARE(days->findChild<QLineEdit *>()->maxLength(), 3);
        QVERIFY(child<QCheckBox>(form.get(), "UseRoomID_CB")->isChecked());
        QCOMPARE(form->lockTypeIndex(), 3);
        QVERIFY(!child<QCheckBox>(form.get(), "UseRoomID_CB")->isVisible());
        QVERIFY(!child<QGroupBox>(form.get(), "LockType")->isVisible());

        QStringList labels;
        for (const QLabel *label : form->findChildren<QLabel *>())
            if (label->isVisible())
                labels << label->text();
        labels.sort();
        QStringList expected { u8("酒店名称"), u8("默认退房时间："), u8("默认入住天数：") };
        expected.sort();
        QCOMPARE(labels, expected);
        QCOMPARE(child<QPushButton>(form.get(), "Button1")->text(), u8("保存(&S)"));
        QCOMPARE(child<QPushButton>(form.get(), "Button2")->text(), u8("取消(&C)"));
        QCOMPARE(child<QPushButton>(form.get(), "Button3")->text(), u8("关闭(&C)"));

        const QString screens = QDir(TestEnv::binDir()).filePath(QStringLiteral("../screens"));
        QDir().mkpath(screens);
        QVERIFY(form->grab().save(QDir(screens).filePath(QStringLiteral("SystemInfo_Form.png"))));
    }

    void cancelShowsRecordsAgain()
    {
        m_env->writeProfile("[Config]\nLockType=1\n");
        auto form = makeForm();
        setText(form.get(), "HotelName_Edit", QStringLiteral("Other"));
        setText(form.get(), "LeaveTime_Edit", QStringLiteral("18:00"));
        child<QSpinBox>(form.get(), "DayCount_SE")->setValue(9);
        child<QCheckBox>(form.get(), "UseRoomID_CB")->setChecked(false);
        form->findChild<QAbstractButton *>(QStringLiteral("LockType4"))->setChecked(true);
        // The file changed meanwhile: cancel shows the records, not the file.
        m_env->writeProfile("[SystemInfo]\nHotelName=FromFile\n[Config]\nLockType=2\n");

        QTest::mouseClick(child<QPushButton>(form.get(), "Button2"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(form.get(), "HotelName_Edit")->text(), u8("东方大酒店"));
        QCOMPARE(child<QLineEdit>(form.get(), "LeaveTime_Edit")->text(), QStringLiteral("09:05:00"));
        QCOMPARE(child<QSpinBox>(form.get(), "DayCount_SE")->value(), 3);
        QVERIFY(child<QCheckBox>(form.get(), "UseRoomID_CB")->isChecked());
        QCOMPARE(form->lockTypeIndex(), 1);
        QVERIFY(form->isVisible());
        QVERIFY(m_prompts->asked.isEmpty());
    }

    void saveWritesInOrderAndEnds()
    {
        QVERIFY(!QFile::exists(m_env->profilePath()));
        auto form = makeForm();
        setText(form.get(), "HotelName_Edit", u8("南山宾馆"));
        setText(form.get(), "LeaveTime_Edit", QStringLiteral("9:05"));
        auto *days = child<QSpinBox>(form.get(), "DayCount_SE");
        days->selectAll();
        QTest::keyClicks(days, QStringLiteral("14"));
        m_prompts->answerOk();
        m_prompts->answerOk();
        clickSave(form.get());

        QCOMPARE(readAll(m_env->profilePath()),
            u8("[Config]\nLockType=0\n\n[SystemInfo]\nHotelName=南山宾馆\n"
               "DayCount=14\nLeaveTime=09:05:00\nUseRoomID=1\n")
                .toUtf8());
        QCOMPARE(m_prompts->texts(), QStringList({ u8("保存成功"), u8("系统参数已更改，请退出系统重新运行！") }));
        QCOMPARE(promptTitles(), QStringList({ u8("提示"), u8("提示") }));
        for (const auto &a : m_prompts->asked)
            QCOMPARE(a.icon, QMessageBox::Information);
        // Reloaded from the file; the operator stays logged in.
        QCOMPARE(SystemSettings.HotelName, u8("南山宾馆"));
        QCOMPARE(SystemSettings.DayCount, 14);
        QCOMPARE(SystemSettings.Staffer, QStringLiteral("amy"));
        QVERIFY(SystemSettings.TranslationActive);
        QVERIFY(!form->isVisible());
        QCOMPARE(form->result(), int(QDialog::Accepted));
        QVERIFY(programEndRequested());
    }

    void saveOverExistingFile()
    {
        m_env->writeProfile("[SystemInfo]\nPass=0A1B2C3D\nHotelName=Old\nLanguageID=2052\n\n"
                            "[Client Config]\nConnType=1\nPass=db;secret\n\n[Config]\nSector=2\nLockType=2\n");
        QVERIFY(QFile::setPermissions(
            m_env->profilePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        auto form = makeForm();
        m_prompts->setAnswerAll(true);
        clickSave(form.get());
        QCOMPARE(readAll(m_env->profilePath()),
            u8("[SystemInfo]\nPass=0A1B2C3D\nHotelName=东方大酒店\nLanguageID=2052\nDayCount=3\n"
               "LeaveTime=09:05:00\nUseRoomID=1\n\n"
               "[Client Config]\nConnType=1\nPass=db;secret\n\n[Config]\nSector=2\nLockType=2\n")
                .toUtf8());
        struct stat info { };
        QCOMPARE(::stat(QFile::encodeName(m_env->profilePath()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0600));
        QCOMPARE(SystemSettings.Pass, QStringLiteral("0A1B2C3D"));
    }

    // A stored type the hidden list does not hold selects nothing; the save
    // writes the stored value back instead of -1.
    void lockTypeKept_data()
    {
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("3 stays 3") << QByteArray("[Config]\nLockType=3\n") << 3 << QByteArray("LockType=3\n");
        QTest::newRow("7 stays 7") << QByteArray("[Config]\nLockType=7\n") << -1 << QByteArray("LockType=7\n");
        QTest::newRow("255 stays 255") << QByteArray("[Config]\nLockType=-1\n") << -1 << QByteArray("LockType=255\n");
        QTest::newRow("256 is 0") << QByteArray("[Config]\nLockType=256\n") << 0 << QByteArray("LockType=0\n");
    }
    void lockTypeKept()
    {
        QFETCH(QByteArray, profile);
        QFETCH(QByteArray, written);
        m_env->writeProfile(profile);
        auto form = makeForm();
        QTEST(form->lockTypeIndex(), "index");
        m_prompts->setAnswerAll(true);
        clickSave(form.get());
        QVERIFY(programEndRequested());
        QVERIFY2(readAll(m_env->profilePath()).startsWith(QByteArray(QByteArray("[Config]\n") + written)),
            readAll(m_env->profilePath()));
    }

    void badLeaveTimeChangesNothing_data()
    {
        QTest::addColumn<QString>("leaveTime");
        QTest::newRow("25:61") << "25:61";
        QTest::newRow("24:00") << "24:00";
        QTest::newRow("word") << "noon";
        QTest::newRow("empty") << "";
    }
    void badLeaveTimeChangesNothing()
    {
        QFETCH(QString, leaveTime);
        const QByteArray before("[SystemInfo]\nHotelName=Old\nDayCount=2\n[Config]\nLockType=1\n");
        m_env->writeProfile(before);
        auto form = makeForm();
        setText(form.get(), "HotelName_Edit", QStringLiteral("New"));
        child<QLineEdit>(form.get(), "LeaveTime_Edit")->setText(leaveTime);
        m_prompts->answerOk();
        clickSave(form.get());

        QCOMPARE(m_prompts->texts(), QStringList(QStringLiteral("'%1' is not a valid time").arg(leaveTime)));
        QCOMPARE(m_prompts->last().title, QString::fromUtf8(ApplicationTitle));
        QCOMPARE(m_prompts->last().icon, QMessageBox::Critical);
        QCOMPARE(readAll(m_env->profilePath()), before);
        QVERIFY(!programEndRequested());
        QVERIFY(form->isVisible());
        QCOMPARE(SystemSettings.HotelName, u8("东方大酒店"));
    }

    void failedWriteIsReportedNotSaved()
    {
        QVERIFY(QDir().mkpath(m_env->profilePath()));
        auto form = makeForm();
        m_prompts->answerOk();
        clickSave(form.get());
        QCOMPARE(m_prompts->asked.size(), 1);
        QCOMPARE(m_prompts->last().icon, QMessageBox::Critical);
        QVERIFY2(m_prompts->last().text.contains(m_env->profilePath()), qPrintable(m_prompts->last().text));
        QVERIFY(!programEndRequested());
        QVERIFY(form->isVisible());
    }

    void enterSavesNothing_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        for (const char *name : { "HotelName_Edit", "LeaveTime_Edit", "DayCount_SE", "Button1", "Button2" }) {
            QTest::addRow("%s return", name) << QString::fromLatin1(name) << int(Qt::Key_Return);
            QTest::addRow("%s enter", name) << QString::fromLatin1(name) << int(Qt::Key_Enter);
        }
    }
    void enterSavesNothing()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        auto form = makeForm();
        QWidget *target = form->findChild<QWidget *>(focus);
        QVERIFY(target);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QVERIFY(m_prompts->asked.isEmpty());
        QVERIFY(!QFile::exists(m_env->profilePath()));
        QVERIFY(form->isVisible());
        for (const QPushButton *b : form->findChildren<QPushButton *>())
            QVERIFY(!b->autoDefault() && !b->isDefault());
    }

    void closeLeavesUnsaved_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Esc") << true;
        QTest::newRow("close button") << false;
    }
    void closeLeavesUnsaved()
    {
        QFETCH(bool, escape);
        auto form = makeForm();
        setText(form.get(), "HotelName_Edit", QStringLiteral("New"));
        if (escape)
            QTest::keyClick(child<QLineEdit>(form.get(), "HotelName_Edit"), Qt::Key_Escape);
        else
            QTest::mouseClick(child<QPushButton>(form.get(), "Button3"), Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QCOMPARE(form->result(), int(QDialog::Rejected));
        QVERIFY(!QFile::exists(m_env->profilePath()));
        QVERIFY(m_prompts->asked.isEmpty());
        QVERIFY(!programEndRequested());
    }

    void openedFromTheMenuEntry()
    {
        WindowRegistry registry;
        registerStoreWindows(registry);
        QPointer<QDialog> opened;
        QTimer::singleShot(0, [&opened] {
            opened = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (opened) {
                QVERIFY(!opened->testAttribute(Qt::WA_DeleteOnClose));
                opened->reject();
            }
        });
        QCOMPARE(registry.open(QStringLiteral("SystemSetting_Menu"), nullptr), int(QDialog::Rejected));
        QVERIFY(m_hookCalls.contains(QStringLiteral("apply:SystemInfo_Form:1")));
        QVERIFY(opened.isNull()); // deleted by the opener
    }
};

QTEST_MAIN(TestSystemInfoForm)
#include "tst_systeminfo_form.moc"
