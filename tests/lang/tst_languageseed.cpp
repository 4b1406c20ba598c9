#include "TestEnv.h"
#include "TFileVersion.h"
#include "TLanguage.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The starting translation database the build puts beside the program.
class TestLanguageSeed : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;

    QVariant scalar(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("seed")));
        if (!q.exec(sql) || !q.next())
            return {};
        return q.value(0);
    }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void messagesOfEveryWindow_data();
    void messagesOfEveryWindow();
    void rowsBelongToThisProgram();
    void englishCaptionsOfMainAndLoginWindows();
    void toolRefusesLongMessages_data();
    void toolRefusesLongMessages();
};

void TestLanguageSeed::initTestCase()
{
    m_env = std::make_unique<TestEnv>();
    m_env->copyFromBin(QStringLiteral("db/Language.db"));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
    db.setDatabaseName(m_env->programFile(QStringLiteral("db/Language.db")));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    QVERIFY(db.open());
}

void TestLanguageSeed::cleanupTestCase()
{
    QSqlDatabase::database(QStringLiteral("seed")).close();
    QSqlDatabase::removeDatabase(QStringLiteral("seed"));
    m_env.reset();
}

void TestLanguageSeed::messagesOfEveryWindow_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QList<int>>("numbers");
    QTest::addColumn<QString>("title2052");
    const QList<std::tuple<const char *, QList<int>, const char *>> windows = {
        { "MainForm", { 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 15, 16 }, "Tarvane V12.0" },
        { "GuestQuickIn_Form", { 2 }, "开房--发行客人卡" },
        { "ModifyGuestCard_Form", { 2 }, "续房" },
        { "ClockRoom_Form", { 2 }, "开钟点房--发行客人卡" },
        { "MC_R_From", { 0, 1, 13, 14 }, "查询发卡记录" },
        { "OpenDoorRecord_Form", { 13, 14 }, "查询开门记录" },
    };
    for (const auto &[form, numbers, title] : windows)
        QTest::newRow(form) << QString::fromLatin1(form) << numbers << QString::fromUtf8(title);
}

void TestLanguageSeed::messagesOfEveryWindow()
{
    QFETCH(QString, form);
    QFETCH(QList<int>, numbers);
    QFETCH(QString, title2052);
    for (const int languageId : { 2052, 1033 }) {
        QObject window;
        window.setObjectName(form);
        auto *language = new TLanguage(&window);
        QCOMPARE(language->openError(), QString());
        language->setLanguageId(languageId);
        language->ApplyLanguage();
        for (const int n : numbers)
            QVERIFY2(!language->MessageText(n).isEmpty(), qPrintable(QStringLiteral("%1 %2").arg(languageId).arg(n)));
        QVERIFY(!language->DialogTitle(0).isEmpty());
        if (languageId == 2052)
            QCOMPARE(language->DialogTitle(0), title2052);
    }
}

void TestLanguageSeed::rowsBelongToThisProgram()
{
    const QString appName = TFileVersion().productName();
    QCOMPARE(scalar(QStringLiteral("select count(*) from Dialog_Table where AppName <> '%1'").arg(appName)).toInt(), 0);
    QCOMPARE(
        scalar(QStringLiteral("select count(*) from Component_Table where AppName <> '%1'").arg(appName)).toInt(), 0);
    QVERIFY(scalar(QStringLiteral("select max(length(MessageStr)) from Dialog_Table")).toInt() <= 255);
    QCOMPARE(scalar(QStringLiteral("select count(*) from Dialog_Table where DialogID <> 0")).toInt(), 0);
    // Trailing blanks of the source survive ("Check-in card, room ").
    QCOMPARE(scalar(QStringLiteral("select MessageStr from Dialog_Table where FormName='GuestQuickIn_Form' "
                                   "and LanguageID=1033"))
                 .toString(),
        QStringLiteral("\r\n\r\nCheck-in card, room "));
}

void TestLanguageSeed::englishCaptionsOfMainAndLoginWindows()
{
    const QStringList mainForm = { "MainForm", "CardOperate", "N3", "N5", "N13", "N14", "EncodeCard_Menu",
        "ReadCard_Menu", "ClearCard_Menu", "ReadDataCard_Menu", "CheckIn_Menu", "ClockRoom_Menu",
        "ModifyGuestCard_Menu", "CheckOut_Menu", "CheckOpenRecord_Menu", "CheckMakeCardRecord_Menu",
        "CheckRoomStatus_Menu", "OperatorManage_Menu", "ChangePass_Menu", "SystemSetting_Menu", "RoomType_Menu",
        "RoomSetting_Menu", "DistrictSetting_Menu", "N39", "N40", "N35", "OprManual_Menu", "FAQ_Menu", "CheckIn_SB",
        "GuestContinueIn2_SpeedButton", "CheckOut2_SB", "ReadCard2_SpeedButton", "ClearCard2_SpeedButton",
        "QuitSystem_SpeedBt", "CheckIn_MfPopMenu", "mi_GuestLeave" };
    const QStringList logonForm
        = { "LogonForm", "Title_Label", "FirstRun_Label", "Operator_Label", "Pass_Label", "Ok_Bt" };
    const auto check = [&](const QString &form, const QStringList &names) {
        for (const QString &name : names) {
            const QString text = scalar(QStringLiteral("select ComponentProperty from Component_Table where "
                                                       "FormName='%1' and ComponentName='%2' and LanguageID=1033")
                                            .arg(form, name))
                                     .toString();
            QVERIFY2(text.startsWith(QStringLiteral("Caption:")) && text.size() > 10 && text.endsWith("\r\n"),
                qPrintable(form + QLatin1Char(' ') + name));
        }
    };
    check(QStringLiteral("MainForm"), mainForm);
    check(QStringLiteral("LogonForm"), logonForm);
}

void TestLanguageSeed::toolRefusesLongMessages_data()
{
    QTest::addColumn<int>("secondLine");
    QTest::addColumn<bool>("accepted");
    // 120 characters, a CRLF and the second line make the stored text.
    QTest::newRow("255 characters") << 133 << true;
    QTest::newRow("256 characters") << 134 << false;
}

void TestLanguageSeed::toolRefusesLongMessages()
{
    QFETCH(int, secondLine);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("2052.txt"));
    QFile file(source);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        "[Dialog Long_Form]\nTitle=Long\n0=" + QByteArray(120, 'a') + "\n1=" + QByteArray(secondLine, 'b') + "\n");
    file.close();
    const QString output = dir.filePath(QStringLiteral("Language.db"));

    QProcess tool;
    tool.start(QStringLiteral(MAKE_LANGUAGE_DB), { output, source });
    QVERIFY(tool.waitForFinished());
    QCOMPARE(tool.exitCode() == 0, accepted);
    QCOMPARE(QFile::exists(output), accepted);
    QCOMPARE(QFile::exists(output + QStringLiteral(".part")), false);
    if (!accepted)
        QVERIFY2(tool.readAllStandardError().contains("more than 255"), "the refusal names the limit");
}

QTEST_GUILESS_MAIN(TestLanguageSeed)
#include "tst_languageseed.moc"
