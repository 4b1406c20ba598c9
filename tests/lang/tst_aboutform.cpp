#include "HotelLock.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "TAboutForm.h"
#include "TestEnv.h"
#include "WindowRegistry.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

// The device type as the program reads it: word 0 of GetParameter on a
// zero-filled buffer, from the encoder simulator.
int16_t simulatorDeviceType()
{
    int16_t words[9] = {};
    GetParameter(words);
    return words[0];
}

} // namespace

class TestAboutForm : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<ScriptedPrompts> m_prompts;

    void writeInformation(const QByteArray &content)
    {
        QFile file(m_env->programFile(QStringLiteral("Information.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    // Device type -2 stands for an encoder that does not answer.
    static void setEncoder(int deviceType)
    {
        HLSim_Reset();
        if (deviceType < 0)
            HLSim_SetConnected(0);
        else
            HLSim_SetDeviceType(deviceType);
    }

private Q_SLOTS:
    void init();
    void cleanup();
    void deviceTypes_data();
    void deviceTypes();
    void sellerInformation_data();
    void sellerInformation();
    void versionLine_data();
    void versionLine();
    void closes_data();
    void closes();
    void registeredUnderN35();
    void screenshot();
};

void TestAboutForm::init()
{
    m_env = std::make_unique<TestEnv>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    SystemSettings = TSystemSettings();
    SystemSettings.LanguageID = 2052;
    SystemSettings.TranslationActive = true;
    SystemSettings.Pass = QStringLiteral("12345678");
    setEncoder(2);
}

void TestAboutForm::cleanup()
{
    QVERIFY(m_prompts->asked.isEmpty());
    m_prompts.reset();
    m_env.reset();
}

void TestAboutForm::deviceTypes_data()
{
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<QString>("encoder");
    QTest::addColumn<QString>("lockType");
    QTest::newRow("no encoder") << -2 << u8("发卡机编号： ") << u8("发卡机不联机");
    QTest::newRow("0") << 0 << u8("发卡机编号： 12345678") << u8("门锁类型：磁卡门锁系统");
    QTest::newRow("3") << 3 << u8("发卡机编号： 12345678") << u8("门锁类型：TEMIC感应卡门锁系统");
    QTest::newRow("11") << 11 << u8("发卡机编号： 12345678") << u8("设备类型：红外数据采集器");
    QTest::newRow("12, beyond the table") << 12 << u8("发卡机编号： 12345678") << u8("发卡机不联机");
}

void TestAboutForm::deviceTypes()
{
    QFETCH(int, deviceType);
    QFETCH(QString, encoder);
    QFETCH(QString, lockType);
    setEncoder(deviceType);
    TAboutForm form(simulatorDeviceType);
    QCOMPARE(form.EncoderSn_Label->text(), encoder);
    QCOMPARE(form.CardType_Label->text(), lockType);
    QCOMPARE(form.ProductName->text(), u8("酒店门锁管理系统"));
}

void TestAboutForm::sellerInformation_data()
{
    QTest::addColumn<QByteArray>("file"); // empty: no Information.ini
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("web");
    QTest::newRow("no Information.ini") << QByteArray() << ""
                                        << "";
    QTest::newRow("company with commas") << QByteArray(
        "[Sale]\r\nCompany=北京塔尔瓦内，门锁有限公司, 销售部\r\nWeb=www.example.com\r\n")
                                         << u8("北京塔尔瓦内，门锁有限公司, 销售部") << "www.example.com";
    QTest::newRow("other sections only") << QByteArray("[Other]\nCompany=x\n") << ""
                                         << "";
}

void TestAboutForm::sellerInformation()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, company);
    QFETCH(QString, web);
    if (!file.isEmpty())
        writeInformation(file);
    TAboutForm form(simulatorDeviceType);
    QCOMPARE(form.Company_Label->text(), company);
    QCOMPARE(form.Web_Label->text(), web);
}

void TestAboutForm::versionLine_data()
{
    QTest::addColumn<bool>("withVersion");
    QTest::addColumn<QString>("expected");
    QTest::newRow("program version") << true << "Version:Tarvane 12.0.0.722";
    QTest::newRow("no version information") << false << "Version: ";
}

void TestAboutForm::versionLine()
{
    QFETCH(bool, withVersion);
    QFETCH(QString, expected);
    TAboutForm form(simulatorDeviceType, nullptr, withVersion ? TFileVersion() : TFileVersion(VersionBlock()));
    QCOMPARE(form.Version_L->text(), expected);
}

void TestAboutForm::closes_data()
{
    QTest::addColumn<bool>("escape");
    QTest::addColumn<int>("result");
    QTest::newRow("Esc") << true << int(QDialog::Rejected);
    QTest::newRow("close button") << false << int(QDialog::Accepted);
}

void TestAboutForm::closes()
{
    QFETCH(bool, escape);
    QFETCH(int, result);
    TAboutForm form(simulatorDeviceType);
    QCOMPARE(form.objectName(), QStringLiteral("AboutForm"));
    QCOMPARE(form.windowTitle(), QStringLiteral("AboutForm"));
    QCOMPARE(form.OKButton->text(), u8("关  闭"));
    QVERIFY(form.OKButton->isDefault());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    if (escape)
        QTest::keyClick(&form, Qt::Key_Escape);
    else
        QTest::keyClick(&form, Qt::Key_Return);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), result);
    // No capture prompt of its own.
    form.show();
    QTest::keyClick(&form, Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier);
}

void TestAboutForm::registeredUnderN35()
{
    WindowRegistry registry;
    registerLangWindows(registry, [] { return int16_t(11); });
    QVERIFY(registry.has(QStringLiteral("N35")));
    std::unique_ptr<QDialog> dialog(registry.factory(QStringLiteral("N35"))(nullptr, OpenOptions()));
    auto *form = qobject_cast<TAboutForm *>(dialog.get());
    QVERIFY(form);
    QCOMPARE(form->CardType_Label->text(), u8("设备类型：红外数据采集器"));
    QVERIFY(!form->testAttribute(Qt::WA_DeleteOnClose));
}

void TestAboutForm::screenshot()
{
    writeInformation(u8("[Sale]\nCompany=塔尔瓦内智能门锁有限公司\nWeb=www.tarvane.example\n").toUtf8());
    setEncoder(2);
    TAboutForm form(simulatorDeviceType);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.Version_L->text(), QStringLiteral("Version:Tarvane 12.0.0.722"));
    QCOMPARE(form.EncoderSn_Label->text(), u8("发卡机编号： 12345678"));
    QCOMPARE(form.CardType_Label->text(), u8("门锁类型：IC卡门锁系统"));
    QVERIFY(QDir().mkpath(QStringLiteral(SCREENS_DIR)));
    QVERIFY(form.grab().save(QStringLiteral(SCREENS_DIR "/AboutForm.png")));
}

QTEST_MAIN(TestAboutForm)
#include "tst_aboutform.moc"
