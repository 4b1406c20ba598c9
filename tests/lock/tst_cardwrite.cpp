// The encoder loader, the card write sequences by the simulator's call log,
// and the texts the operator sees for encoder results.
#include "CardOperations.h"
#include "Encoder.h"
#include "Identifiers.h"
#include "LockTestSupport.h"
#include "MessageLibrary.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

constexpr int16_t Sentinel = 0x5A5A;
constexpr int GuardWords = 4;

// A word buffer followed by guard words that no call may touch.
struct Guarded {
    explicit Guarded(int size)
        : size(size)
        , words(size + GuardWords, Sentinel)
    {
        std::fill_n(words.begin(), size, 0);
    }
    int16_t *p() { return words.data(); }
    bool guardsIntact() const
    {
        return std::all_of(words.begin() + size, words.end(), [](int16_t w) { return w == Sentinel; });
    }
    int size;
    std::vector<int16_t> words;
};

QString stubPath(const QString &relative)
{
    return QDir::cleanPath(QDir(TestEnv::binDir()).filePath(QStringLiteral("../stubs/") + relative));
}

void copyInto(const QString &from, const QString &to)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    QVERIFY2(QFile::copy(from, to), qPrintable(from));
}

// A written card of another kind lying on the encoder.
TCardData writtenCard()
{
    TCardData card = guestCard(CardNumber { 7, 1, 0, 0, 0 }, 2, 2, 6);
    card.CardType[0] = 10;
    return card;
}

} // namespace

class TestCardWrite : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<Simulator> m_sim;

    void useLanguage(int languageId) { SystemSettings.LanguageID = languageId; }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_env->copyFromBin(QStringLiteral("libHotelLock.so"));
        m_env->copyFromBin(QStringLiteral("Dll"));
        m_sim = std::make_unique<Simulator>(m_env->programFile(QStringLiteral("libHotelLock.so")));
        m_sim->Reset();
        m_sim->ClearCallLog();
        useLanguage(2052);
    }

    void cleanup()
    {
        m_sim.reset();
        m_env.reset();
    }

    void makeFunctionWritesItsType_data()
    {
        QTest::addColumn<Encoder::MakeFunction>("function");
        QTest::addColumn<int>("cardType");
        const auto row = [](Encoder::MakeFunction function, int cardType) {
            QTest::newRow(Encoder::makeFunctionName(function)) << function << cardType;
        };
        row(Encoder::MakeFunction::Guest, 4);
        row(Encoder::MakeFunction::Time, 2);
        row(Encoder::MakeFunction::Data, 14);
        row(Encoder::MakeFunction::Chief, 10);
        row(Encoder::MakeFunction::CleanDistrict, 6);
        row(Encoder::MakeFunction::Building, 8);
        row(Encoder::MakeFunction::Floor, 5);
        row(Encoder::MakeFunction::Client, 1);
        row(Encoder::MakeFunction::Emergent, 3);
        row(Encoder::MakeFunction::Lost, 12);
    }
    void makeFunctionWritesItsType()
    {
        QFETCH(Encoder::MakeFunction, function);
        QFETCH(int, cardType);
        QCOMPARE(Encoder::cardTypeWrittenBy(function), cardType);
        m_sim->PutBlankCard();
        TCardData card = guestCard(CardNumber { 5, 0, 0, 0, 0 }, 1, 3, 15);
        card.CardType[0] = 99;
        QCOMPARE(Encoder::makeCard(function, card), Encoder::Success);
        TCardData read;
        QCOMPARE(Encoder::ReadCard(read), Encoder::Success);
        QCOMPARE(int(read.CardType[0]), cardType);
        QCOMPARE(CardNoText(read.CardNo), QStringLiteral("00000005"));
        QCOMPARE(m_sim->calls(), (QStringList { Encoder::makeFunctionName(function), "ReadCard" }));
    }

    void writeSequence_data()
    {
        QTest::addColumn<bool>("guest"); // WriteGuestCard, else PrepareCard
        QTest::addColumn<QString>("onEncoder"); // blank, written, none, disconnected
        QTest::addColumn<QString>("failFunction");
        QTest::addColumn<int>("failCode");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("calls");
        const QStringList readMake { "ReadCard", "MakeGuestCard" };
        const QStringList readClearMake { "ReadCard", "ClearCardData", "MakeGuestCard" };
        const QStringList read { "ReadCard" };
        const QStringList readClear { "ReadCard", "ClearCardData" };
        QTest::newRow("guest: blank card not cleared") << true << "blank"
                                                       << "" << 0 << 1 << readMake;
        QTest::newRow("guest: written card cleared with its own number") << true << "written"
                                                                         << "" << 0 << 1 << readClearMake;
        QTest::newRow("guest: no card") << true << "none"
                                        << "" << 0 << -1 << read;
        QTest::newRow("guest: no encoder") << true << "disconnected"
                                           << "" << 0 << -2 << read;
        QTest::newRow("guest: ReadCard fails") << true << "written"
                                               << "ReadCard" << -15 << -15 << read;
        QTest::newRow("guest: ClearCardData fails") << true << "written"
                                                    << "ClearCardData" << -7 << -7 << readClear;
        QTest::newRow("guest: MakeGuestCard fails") << true << "blank"
                                                    << "MakeGuestCard" << -15 << -15 << readMake;
        QTest::newRow("prepare: blank card not cleared") << false << "blank"
                                                         << "" << 0 << 1 << read;
        QTest::newRow("prepare: written card cleared") << false << "written"
                                                       << "" << 0 << 1 << readClear;
        QTest::newRow("prepare: no card") << false << "none"
                                          << "" << 0 << -1 << read;
        QTest::newRow("prepare: ReadCard fails") << false << "blank"
                                                 << "ReadCard" << -14 << -14 << read;
        QTest::newRow("prepare: ClearCardData fails") << false << "written"
                                                      << "ClearCardData" << -15 << -15 << readClear;
    }
    void writeSequence()
    {
        QFETCH(bool, guest);
        QFETCH(QString, onEncoder);
        QFETCH(QString, failFunction);
        QFETCH(int, failCode);
        QFETCH(int, result);
        QFETCH(QStringList, calls);
        const TCardData before = writtenCard();
        if (onEncoder == QLatin1String("blank"))
            m_sim->PutBlankCard();
        else if (onEncoder == QLatin1String("written"))
            m_sim->PutCard(before.words());
        else if (onEncoder == QLatin1String("disconnected"))
            m_sim->SetConnected(0);
        if (!failFunction.isEmpty())
            m_sim->FailNext(failFunction.toUtf8().constData(), failCode);

        TCardData card = guestCard(CardNumber { 5, 0, 0, 0, 0 }, 1, 3, 15);
        const TCardData arguments = card;
        const int16_t code = guest ? WriteGuestCard(card) : PrepareCard();
        QCOMPARE(int(code), result);
        QCOMPARE(m_sim->calls(), calls);
        // The caller's arguments reach the encoder unchanged.
        QVERIFY(std::equal(card.words(), card.words() + 63, arguments.words()));

        m_sim->SetConnected(1);
        if (onEncoder == QLatin1String("none") || onEncoder == QLatin1String("disconnected"))
            return;
        const TCardData after = m_sim->card();
        if (result != 1) {
            // A failed step leaves the card as it was.
            const int16_t expectedType = onEncoder == QLatin1String("written") ? 10 : BlankCardType;
            QCOMPARE(after.CardType[0], expectedType);
        } else if (guest) {
            QCOMPARE(after.CardType[0], GuestCardType);
            QCOMPARE(CardNoText(after.CardNo), QStringLiteral("00000005"));
            QCOMPARE(after.Room[0], int16_t(15));
        } else {
            QCOMPARE(after.CardType[0], BlankCardType);
        }
    }

    void missingLibrary()
    {
        QFile::remove(m_env->programFile(QStringLiteral("libHotelLock.so")));
        TestEnv empty; // a new program folder without the library
        Guarded parameters(9);
        QCOMPARE(Encoder::GetParameter(parameters.p()), Encoder::NoEncoder);
        QCOMPARE(parameters.words[0], Encoder::NoEncoder);
        Guarded detect(9);
        QCOMPARE(Encoder::Detect_EncoderA(detect.p()), Encoder::NoEncoder);
        QCOMPARE(detect.words[0], Encoder::NoEncoder);
        QVERIFY(parameters.guardsIntact() && detect.guardsIntact());
        QCOMPARE(Encoder::MakeCardOpenPort(1), Encoder::NoEncoder);
        TCardData card;
        QCOMPARE(Encoder::ReadCard(card), Encoder::NoEncoder);
        QCOMPARE(Encoder::makeCard(Encoder::MakeFunction::Lost, card), Encoder::NoEncoder);
        QCOMPARE(WriteGuestCard(card), Encoder::NoEncoder);
        QCOMPARE(EncoderResultText(Encoder::NoEncoder), QStringLiteral("无发卡机！"));
        QVERIFY(!Encoder::isLoaded());
    }

    void missingFunction()
    {
        TestEnv stub;
        copyInto(stubPath(QStringLiteral("no-floor-card/libHotelLock.so")),
            stub.programFile(QStringLiteral("libHotelLock.so")));
        Simulator sim(stub.programFile(QStringLiteral("libHotelLock.so")));
        sim.Reset();
        sim.PutBlankCard();
        TCardData card = guestCard(CardNumber { 1, 0, 0, 0, 0 }, 1, 3, 15);
        QCOMPARE(Encoder::makeCard(Encoder::MakeFunction::Floor, card), Encoder::Failure);
        QCOMPARE(Encoder::makeCard(Encoder::MakeFunction::Building, card), Encoder::Success);
        Guarded parameters(9);
        QCOMPARE(Encoder::GetParameter(parameters.p()), Encoder::Success);
        QCOMPARE(parameters.words[0], int16_t(2));
    }

    // A new program folder loads the library found there.
    void reloadOnNewProgramFolder()
    {
        QCOMPARE(Encoder::MakeCardOpenPort(1), Encoder::Success);
        QVERIFY(Encoder::isLoaded());
        {
            TestEnv empty;
            QCOMPARE(Encoder::MakeCardOpenPort(1), Encoder::NoEncoder);
            // The library put there later is found at the next call.
            empty.copyFromBin(QStringLiteral("libHotelLock.so"));
            QCOMPARE(Encoder::MakeCardOpenPort(1), Encoder::Success);
        }
        {
            TestEnv stub;
            copyInto(stubPath(QStringLiteral("no-floor-card/libHotelLock.so")),
                stub.programFile(QStringLiteral("libHotelLock.so")));
            TCardData card;
            QCOMPARE(Encoder::makeCard(Encoder::MakeFunction::Floor, card), Encoder::Failure);
        }
    }

    // Every out buffer is written within its size, through the loader's native pointers.
    void guardWords()
    {
        m_sim->PutCard(writtenCard().words());
        Guarded parameters(9), detect(9), password(33), data(9);
        QCOMPARE(Encoder::GetParameter(parameters.p()), Encoder::Success);
        QCOMPARE(Encoder::Detect_EncoderA(detect.p()), Encoder::Success);
        QCOMPARE(Encoder::ReadSystemPas(password.p()), Encoder::Success);
        QCOMPARE(password.words[0], int16_t(0x12));
        QCOMPARE(password.words[3], int16_t(0x78));
        (void)Encoder::ReadDataCard(data.p());
        std::vector<Guarded> slots;
        for (int size : { 9, 5, 1, 9, 5, 7, 1, 9, 5, 6, 6 })
            slots.emplace_back(size);
        QCOMPARE(Encoder::ReadCard(slots[0].p(), slots[1].p(), slots[2].p(), slots[3].p(), slots[4].p(), slots[5].p(),
                     slots[6].p(), slots[7].p(), slots[8].p(), slots[9].p(), slots[10].p()),
            Encoder::Success);
        QCOMPARE(slots[7].words[0], int16_t(10));
        QCOMPARE(slots[0].words[0], int16_t(7));
        for (const Guarded *g : { &parameters, &detect, &password, &data })
            QVERIFY(g->guardsIntact());
        for (const Guarded &g : slots)
            QVERIFY(g.guardsIntact());
    }

    void encoderResultText_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("calls");
        const QStringList probe { "Detect_EncoderA", "ReadSystemPas" };
        QTest::newRow("1") << 1 << QStringLiteral("操作成功！") << QStringList();
        QTest::newRow("-1") << -1 << QStringLiteral("无卡！") << probe;
        QTest::newRow("-2") << -2 << QStringLiteral("无发卡机！") << probe;
        QTest::newRow("-7") << -7 << QStringLiteral("操作失败！") << probe;
        QTest::newRow("-15") << -15 << QStringLiteral("操作失败！") << probe;
    }
    void encoderResultText()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(QStringList, calls);
        QCOMPARE(EncoderResultText(int16_t(code)), text);
        QCOMPARE(m_sim->calls(), calls);
    }

    void showEncoderMessage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("libraryPresent");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("2052") << 2052 << true << -14 << QStringLiteral("发卡机信息（代码：-14）")
                              << QStringLiteral("非本系统的发卡机！");
        QTest::newRow("2052 success") << 2052 << true << 1 << QStringLiteral("发卡机信息（代码：1）")
                                      << QStringLiteral("操作成功！");
        QTest::newRow("1033") << 1033 << true << -1 << QStringLiteral("Card encoder message (code: -1)")
                              << QStringLiteral("No card!");
        QTest::newRow("language without a library")
            << 1028 << false << -2 << QStringLiteral("发卡机信息（代码：-2）") << QStringLiteral("无发卡机！");
        QTest::newRow("library removed") << 2052 << false << -15 << QStringLiteral("发卡机信息（代码：-15）")
                                         << QStringLiteral("操作失败！");
    }
    void showEncoderMessage()
    {
        QFETCH(int, language);
        QFETCH(bool, libraryPresent);
        QFETCH(int, code);
        QFETCH(QString, title);
        QFETCH(QString, text);
        useLanguage(language);
        if (!libraryPresent)
            QDir(m_env->programFile(QStringLiteral("Dll/2052"))).removeRecursively();
        ScriptedPrompts prompts;
        prompts.answerOk();
        ShowEncoderMessage(int16_t(code));
        QCOMPARE(prompts.asked.size(), 1);
        QCOMPARE(prompts.last().icon, QMessageBox::Information);
        QCOMPARE(prompts.last().title, title);
        QCOMPARE(prompts.last().text, text);
    }

    // Texts longer than the buffer arrive cut to whole characters; patterns are filled, never formatted.
    void libraryTextLimits()
    {
        QDir(m_env->programFile(QStringLiteral("Dll/2052"))).removeRecursively();
        copyInto(stubPath(QStringLiteral("lockmsg/Dll/2052/libLockMsg.so")),
            m_env->programFile(QStringLiteral("Dll/2052/libLockMsg.so")));
        const QString room = QStringLiteral("房间");
        QCOMPARE(MessageUnitText(1), room.repeated(50).left(85));
        QCOMPARE(MessageUnitText(3), QLatin1Char('x') + room.repeated(50).left(84));
        ScriptedPrompts prompts;
        prompts.answerOk();
        ShowEncoderMessage(-14);
        QCOMPARE(prompts.last().title, QStringLiteral("%d--14-%s"));
        QCOMPARE(prompts.last().text, QStringLiteral("foreign encoder"));
    }

    void decodeBuffer_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QByteArray han = QStringLiteral("房").toUtf8();
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("length byte counts, no NUL") << QByteArray("abc") << QStringLiteral("abc");
        QTest::newRow("last character cut") << (han + han.left(2)) << QStringLiteral("房");
        QTest::newRow("invalid byte replaced") << QByteArray("a\xff"
                                                             "b")
                                               << QStringLiteral("a\uFFFDb");
    }
    void decodeBuffer()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        std::array<unsigned char, 256> buffer;
        buffer.fill('z'); // beyond the length: never read
        buffer[0] = static_cast<unsigned char>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), buffer.begin() + 1);
        QCOMPARE(MessageLibrary::decodeBuffer(buffer.data()), text);
    }

    void checkDateRange_data()
    {
        QTest::addColumn<QDateTime>("first");
        QTest::addColumn<QDateTime>("second");
        QTest::addColumn<bool>("valid");
        const QDateTime t(QDate(2024, 3, 5), QTime(12, 0));
        QTest::newRow("equal") << t << t << true;
        QTest::newRow("earlier") << t << t.addSecs(60) << true;
        QTest::newRow("later") << t.addSecs(60) << t << false;
    }
    void checkDateRange()
    {
        QFETCH(QDateTime, first);
        QFETCH(QDateTime, second);
        QFETCH(bool, valid);
        ScriptedPrompts prompts;
        if (!valid)
            prompts.answerOk();
        QCOMPARE(CheckDateRange(first, second), valid);
        if (valid) {
            QVERIFY(prompts.asked.isEmpty());
        } else {
            QCOMPARE(prompts.asked.size(), 1);
            QCOMPARE(prompts.last().title, QStringLiteral("信息提示"));
            QCOMPARE(prompts.last().text, QStringLiteral("日期范围无效！"));
        }
    }
};

QTEST_MAIN(TestCardWrite)
#include "tst_cardwrite.moc"
