#include "HotelFixture.h"
#include "Login.h"
#include "LogonForm.h"
#include "Operators.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "Sql.h"
#include "TarvaneApplication.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <sodium.h>

namespace {

QString storedPass(const QSqlDatabase &db, const QString &login)
{
    QSqlQuery query = Sql::exec(db, QStringLiteral("SELECT Pass FROM Operator WHERE Staffer = ?"), { login });
    return query.next() ? query.value(0).toString() : QString();
}

} // namespace

class TestLogin : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(sodium_init() >= 0); }
    void init() { SystemSettings = TSystemSettings(); }

    void checkLogin_data();
    void checkLogin();
    void systemPassword();

    void firstRun_storesHashedAdministrator();
    void firstRun_entriesDiffer();
    void logonForm_wrongPassword();
    void logonForm_nameInOtherCase();
    void logonForm_withoutDatabase();
};

void TestLogin::checkLogin_data()
{
    QTest::addColumn<bool>("postgres");
    QTest::newRow("sqlite") << false;
    QTest::newRow("postgresql") << true;
}

// Names in any case and with quotes find their row; a legacy plain-text
// password logs in once and is then stored as a hash.
void TestLogin::checkLogin()
{
    QFETCH(bool, postgres);
    HotelFixture hotel(postgres);
    if (!hotel.isOpen())
        QSKIP("no PostgreSQL server configured");
    const QSqlDatabase db = hotel.db();
    hotel.addOperator(QStringLiteral("admin"), hashPassword(QStringLiteral("123456")), operatorRightColumns());
    hotel.addOperator(QStringLiteral("desk'1"), QStringLiteral("old pw"), { QStringLiteral("CheckIn") });

    QVERIFY(::checkLogin(db, QStringLiteral("ADMIN"), QStringLiteral("123456")));
    QVERIFY(!::checkLogin(db, QStringLiteral("admin"), QStringLiteral("1234567")));
    QVERIFY(!::checkLogin(db, QStringLiteral("admin' OR '1'='1"), QStringLiteral("123456")));
    QVERIFY(!::checkLogin(db, QStringLiteral("nobody"), QString()));

    QVERIFY(!::checkLogin(db, QStringLiteral("desk'1"), QStringLiteral("OLD PW")));
    QCOMPARE(storedPass(db, QStringLiteral("desk'1")), QStringLiteral("old pw"));
    const std::optional<OperatorRow> row = ::checkLogin(db, QStringLiteral("Desk'1"), QStringLiteral("old pw"));
    QVERIFY(row);
    QCOMPARE(row->stafferName, QStringLiteral("Name of desk'1"));
    QVERIFY(row->right(QStringLiteral("CheckIn")));
    QVERIFY(!row->right(QStringLiteral("CheckOut")));
    QVERIFY(storedPass(db, QStringLiteral("desk'1")).startsWith(QStringLiteral("$argon2id$")));
    QVERIFY(::checkLogin(db, QStringLiteral("desk'1"), QStringLiteral("old pw")));
}

void TestLogin::systemPassword()
{
    const auto words = systemPasswordWords(QStringLiteral("0a1B2c3D"));
    QVERIFY(words);
    QCOMPARE((*words)[0], int16_t(0x0A));
    QCOMPARE((*words)[1], int16_t(0x1B));
    QCOMPARE((*words)[2], int16_t(0x2C));
    QCOMPARE((*words)[3], int16_t(0x3D));
    QCOMPARE(systemPasswordText(words->data()), QStringLiteral("0A1B2C3D"));
    for (const char *bad : { "0A1B2C3", "0A1B2C3D4", "0A1B2C3G", " 0A1B2C3", "+A1B2C3D", "" })
        QVERIFY2(!systemPasswordWords(QString::fromLatin1(bad)), bad);
}

void TestLogin::firstRun_storesHashedAdministrator()
{
    HotelFixture hotel;
    ScriptedPrompts prompts;
    TLogonForm form;
    QVERIFY(form.isFirstRun());
    QCOMPARE(form.Operator_Label->text(), QString::fromUtf8("请设定用户名："));
    form.LoginCode_Edit->setText(QStringLiteral("Boss"));
    form.SystemLogin_Pas->setText(QStringLiteral("s3cret"));
    prompts.answerText(QStringLiteral("s3cret"));
    form.Ok_BtClick();
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(prompts.last().title, QString::fromUtf8("请再次输入口令"));
    QCOMPARE(SystemSettings.Staffer, QStringLiteral("Boss"));
    QCOMPARE(SystemSettings.StafferName, QString::fromUtf8("系统管理员"));
    const QString pass = storedPass(hotel.db(), QStringLiteral("Boss"));
    QVERIFY(pass.startsWith(QStringLiteral("$argon2id$")));
    const std::optional<OperatorRow> row = ::checkLogin(hotel.db(), QStringLiteral("boss"), QStringLiteral("s3cret"));
    QVERIFY(row);
    for (const QString &right : operatorRightColumns())
        QVERIFY2(row->right(right), qPrintable(right));
}

void TestLogin::firstRun_entriesDiffer()
{
    HotelFixture hotel;
    ScriptedPrompts prompts;
    TLogonForm form;
    form.LoginCode_Edit->setText(QStringLiteral("boss"));
    form.SystemLogin_Pas->setText(QStringLiteral("one"));
    prompts.answerText(QStringLiteral("two"));
    prompts.answerOk();
    form.Ok_BtClick();
    QCOMPARE(prompts.last().text, QString::fromUtf8("两次密码不符！"));
    // Cancel counts as an empty second entry.
    prompts.answerText(std::nullopt);
    prompts.answerOk();
    form.Ok_BtClick();
    QCOMPARE(prompts.last().text, QString::fromUtf8("两次密码不符！"));
    QCOMPARE(hotel.count(QStringLiteral("Operator")), 0);
    QVERIFY(form.isFirstRun());
    QVERIFY(form.result() != QDialog::Accepted);
}

void TestLogin::logonForm_wrongPassword()
{
    HotelFixture hotel;
    hotel.addOperator(QStringLiteral("admin"), hashPassword(QStringLiteral("123456")), operatorRightColumns());
    ScriptedPrompts prompts;
    TLogonForm form;
    QVERIFY(!form.isFirstRun());
    form.LoginCode_Edit->setText(QStringLiteral("admin"));
    form.SystemLogin_Pas->setText(QStringLiteral("654321"));
    prompts.answerOk();
    form.Ok_BtClick();
    QCOMPARE(prompts.last().title, QString::fromUtf8("提示"));
    QCOMPARE(prompts.last().text, QString::fromUtf8("错误的用户名或密码！"));
    QVERIFY(form.result() != QDialog::Accepted);
    QVERIFY(SystemSettings.Staffer.isEmpty());
}

void TestLogin::logonForm_nameInOtherCase()
{
    HotelFixture hotel;
    hotel.addOperator(QStringLiteral("admin"), hashPassword(QStringLiteral("123456")), { QStringLiteral("CheckIn") });
    ScriptedPrompts prompts;
    TLogonForm form;
    form.LoginCode_Edit->setText(QStringLiteral("ADMIN"));
    form.SystemLogin_Pas->setText(QStringLiteral("123456"));
    form.Ok_BtClick();
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(SystemSettings.Staffer, QStringLiteral("ADMIN")); // kept as typed
    QCOMPARE(SystemSettings.StafferName, QStringLiteral("Name of admin"));
    QVERIFY(prompts.asked.isEmpty());
}

// Without a database the window still opens: each attempt shows the error
// and nothing is written.
void TestLogin::logonForm_withoutDatabase()
{
    TestEnv env;
    Tdm dataModule;
    ScriptedPrompts prompts;
    prompts.setAnswerAll(true);
    TLogonForm form;
    QCOMPARE(prompts.asked.size(), 1);
    QCOMPARE(prompts.last().title, QString::fromUtf8(ApplicationTitle));
    QCOMPARE(prompts.last().icon, QMessageBox::Critical);
    form.LoginCode_Edit->setText(QStringLiteral("admin"));
    form.SystemLogin_Pas->setText(QStringLiteral("123456"));
    QTest::mouseClick(form.Ok_Bt, Qt::LeftButton);
    QTest::mouseClick(form.Ok_Bt, Qt::LeftButton);
    QCOMPARE(prompts.asked.size(), 3);
    QVERIFY(form.result() != QDialog::Accepted);
    QVERIFY(!QFile::exists(env.programFile(QStringLiteral("db/lock.db"))));
}

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
