#include "AppState.h"
#include "EncoderBinding.h"
#include "HotelFixture.h"
#include "LockTestSupport.h"
#include "MainForm.h"
#include "Operators.h"
#include "ProfileFile.h"
#include "ScriptedPrompts.h"
#include "Settings.h"

#include <QFile>
#include <QTest>

#include <memory>

// Binding the encoder to the installation's system password, on the
// simulator the program loads from its folder.
class TestBinding : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void deviceType11_isLeftAlone();
    void storedPassword_splitIntoWords();
    void foreignEncoder_endsTheProgram();
    void malformedPassword_noEncoderCall();
    void emptyPassword_takesTheEncoders();
    void noEncoder_showsThePortResult();

private:
    // The main window, created without touching the encoder; the tests bind it.
    std::unique_ptr<TMainForm> makeForm();
    void setEncoderPassword(std::array<int16_t, 4> words);

    std::unique_ptr<HotelFixture> m_hotel;
    std::unique_ptr<Simulator> m_sim;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void TestBinding::init()
{
    SystemSettings = TSystemSettings();
    clearProgramEndRequest();
    m_hotel = std::make_unique<HotelFixture>();
    m_hotel->env().copyFromBin(QStringLiteral("libHotelLock.so"));
    m_hotel->env().copyFromBin(QStringLiteral("Dll"));
    m_hotel->addOperator(QStringLiteral("admin"), QStringLiteral("x"), operatorRightColumns());
    SystemSettings.Staffer = QStringLiteral("admin");
    m_sim = std::make_unique<Simulator>(m_hotel->env().programFile(QStringLiteral("libHotelLock.so")));
    m_sim->Reset();
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void TestBinding::cleanup()
{
    m_prompts.reset();
    m_sim.reset();
    m_hotel.reset();
    clearProgramEndRequest();
}

std::unique_ptr<TMainForm> TestBinding::makeForm()
{
    auto form = std::make_unique<TMainForm>(TMainForm::EncoderPort { [] { return int16_t(1); }, nullptr });
    m_prompts->clear();
    m_sim->ClearCallLog();
    return form;
}

void TestBinding::setEncoderPassword(std::array<int16_t, 4> words)
{
    m_sim->SetSystemPassword(words.data());
}

void TestBinding::deviceType11_isLeftAlone()
{
    m_sim->SetDeviceType(11);
    SystemSettings.Pass = QStringLiteral("bad");
    auto form = makeForm();
    EncoderRegister(form.get());
    QCOMPARE(form->EncoderType, 11);
    QCOMPARE(m_sim->calls(), QStringList { QStringLiteral("GetParameter") });
    QVERIFY(m_prompts->asked.isEmpty());
}

void TestBinding::storedPassword_splitIntoWords()
{
    setEncoderPassword({ 0x0A, 0x1B, 0x2C, 0x3D });
    SystemSettings.Pass = QStringLiteral("0a1b2c3d");
    auto form = makeForm();
    EncoderRegister(form.get());
    QCOMPARE(form->EncoderType, 2);
    QVERIFY(m_sim->calls().contains(QStringLiteral("SystemInitialization")));
    QVERIFY(m_prompts->asked.isEmpty());
    QVERIFY(!programEndRequested());
}

// The foreign encoder's box comes first, the encoder's own text second, and
// the program ends once the main window has been made.
void TestBinding::foreignEncoder_endsTheProgram()
{
    SystemSettings.Pass = QStringLiteral("0A1B2C3D");
    auto form = makeForm();
    m_prompts->setAnswerAll(true);
    EncoderRegister(form.get());
    QVERIFY(m_prompts->asked.size() >= 2);
    QCOMPARE(m_prompts->asked.first().text, QString::fromUtf8("非本系统的发卡机！"));
    QVERIFY(programEndRequested());
    const ProfileFile profile(m_hotel->env().profilePath());
    QVERIFY(profile.readString(QStringLiteral("SystemInfo"), QStringLiteral("Pass"), QString()).isEmpty());
}

void TestBinding::malformedPassword_noEncoderCall()
{
    SystemSettings.Pass = QStringLiteral("12 34 56");
    auto form = makeForm();
    m_prompts->answerOk();
    EncoderRegister(form.get());
    QCOMPARE(m_prompts->last().text, QString::fromUtf8("系统密码格式错误，发卡机未绑定！"));
    QCOMPARE(m_sim->calls(), QStringList { QStringLiteral("GetParameter") });
    QCOMPARE(SystemSettings.Pass, QStringLiteral("12 34 56"));
}

void TestBinding::emptyPassword_takesTheEncoders()
{
    setEncoderPassword({ 0xAB, 0x01, 0x7F, 0xC0 });
    auto form = makeForm();
    m_prompts->answerOk();
    EncoderRegister(form.get());
    QCOMPARE(m_prompts->last().text, QStringLiteral("AB017FC0"));
    QCOMPARE(SystemSettings.Pass, QStringLiteral("AB017FC0"));
    const ProfileFile profile(m_hotel->env().profilePath());
    QCOMPARE(profile.readString(QStringLiteral("SystemInfo"), QStringLiteral("Pass"), QString()),
        QStringLiteral("AB017FC0"));
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    QCOMPARE(QFile::permissions(m_hotel->env().profilePath()) & others, QFile::Permissions());
}

void TestBinding::noEncoder_showsThePortResult()
{
    m_prompts->answerOk();
    bool bound = false;
    TMainForm form(TMainForm::EncoderPort { [] { return int16_t(-2); }, [&](TMainForm *) { bound = true; } });
    QVERIFY(!bound);
    QCOMPARE(m_prompts->asked.size(), 1);
    QCOMPARE(m_prompts->last().title, QStringLiteral("-2"));
    QCOMPARE(m_prompts->last().text, QString::fromUtf8("未检测到发卡机！"));
    QVERIFY(form.action(QStringLiteral("SystemSetting_Menu")));
}

QTEST_MAIN(TestBinding)
#include "tst_binding.moc"
