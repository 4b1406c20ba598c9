// The card encoder simulator and lockctl, called as the desk program and a
// technician would: through the C entry points and the command line, on a
// state file of the test's own.
#include "HotelLock.h"
#include "TestEnv.h"

#include <QProcess>
#include <QtTest>

#include <array>
#include <memory>
#include <vector>

namespace {

constexpr int16_t Sentinel = 0x5A5A;
constexpr int GuardWords = 4;

// A word buffer followed by guard words that no call may touch.
class Guarded {
public:
    explicit Guarded(int size, int16_t fill = 0)
        : m_size(size)
        , m_words(size + GuardWords, Sentinel)
    {
        std::fill_n(m_words.begin(), size, fill);
    }
    int16_t *p() { return m_words.data(); }
    int16_t operator[](int i) const { return m_words[i]; }
    bool guardsIntact() const
    {
        return std::all_of(m_words.begin() + m_size, m_words.end(), [](int16_t w) { return w == Sentinel; });
    }
    std::vector<int16_t> words() const { return { m_words.begin(), m_words.begin() + m_size }; }

private:
    int m_size;
    std::vector<int16_t> m_words;
};

// ReadCard's eleven slots, each guarded.
struct CardSlots {
    Guarded cardNo { 9 }, aux1 { 5 }, building { 1 }, floor { 9 }, district { 5 }, room { 7 }, override { 1 },
        cardType { 9 }, aux2 { 5 }, start { 6 }, end { 6 };

    int16_t read()
    {
        return ReadCard(cardNo.p(), aux1.p(), building.p(), floor.p(), district.p(), room.p(), override.p(),
            cardType.p(), aux2.p(), start.p(), end.p());
    }
    bool guardsIntact() const
    {
        for (const Guarded *g :
            { &cardNo, &aux1, &building, &floor, &district, &room, &override, &cardType, &aux2, &start, &end })
            if (!g->guardsIntact())
                return false;
        return true;
    }
};

using MakeFn = int16_t (*)(int16_t *, int16_t *, int32_t, int16_t *, int16_t *, int16_t *, int32_t, int16_t *,
    int16_t *, int16_t *, int16_t *);

struct Writer {
    const char *name;
    MakeFn fn;
    int16_t type;
};

const Writer Writers[] = {
    { "MakeGuestCard", MakeGuestCard, 4 },
    { "MakeTimeCard", MakeTimeCard, 2 },
    { "MakeDataCard", MakeDataCard, 14 },
    { "MakeChiefCard", MakeChiefCard, 10 },
    { "MakeCleanDistrictCard", MakeCleanDistrictCard, 6 },
    { "MakeBuildingCard", MakeBuildingCard, 8 },
    { "MakeFloorCard", MakeFloorCard, 5 },
    { "MakeClientCard", MakeClientCard, 1 },
    { "MakeEmergentCard", MakeEmergentCard, 3 },
    { "MakeLostCard", MakeLostCard, 12 },
};

// Writes a guest card for building 1, floor 3, room 15 numbered `number`.
int16_t writeGuestCard(int16_t number, MakeFn fn = MakeGuestCard)
{
    int16_t cardNo[9] = { number, 0, 0, 0, 0 };
    int16_t aux1[5] {}, floor[9] = { 3 }, district[5] {}, room[7] = { 15, 1, 3 }, cardType[9] = { 4 }, aux2[5] {};
    int16_t start[6] = { 2024, 3, 5, 12, 0, 0 }, end[6] = { 2024, 3, 6, 12, 0, 0 };
    return fn(cardNo, aux1, 1, floor, district, room, 0, cardType, aux2, start, end);
}

HLSim_DoorRecord doorRecord(int16_t room, int16_t type, int16_t minute, std::array<int16_t, 4> number)
{
    HLSim_DoorRecord r { 1, 3, room, type, { 2024, 3, 5, 12, minute, 0 }, {} };
    std::copy(number.begin(), number.end(), r.cardNo);
    return r;
}

QStringList callLog()
{
    std::vector<char> buf(static_cast<size_t>(HLSim_CallLog(nullptr, 0)));
    HLSim_CallLog(buf.data(), static_cast<int>(buf.size()));
    return QString::fromUtf8(buf.data()).split(u'\n', Qt::SkipEmptyParts);
}

int16_t cardTypeOnEncoder()
{
    CardSlots slots;
    return slots.read() == 1 ? slots.cardType[0] : 0;
}

} // namespace

class TestSimulator : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;

    QString lockctlPath() const { return TestEnv::binDir() + QStringLiteral("/lockctl"); }

    int lockctl(const QStringList &args, QByteArray *out = nullptr)
    {
        QProcess process;
        process.start(lockctlPath(), args);
        if (!process.waitForFinished(30000))
            return -1;
        if (out)
            *out = process.readAllStandardOutput();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        HLSim_SetStateFile(nullptr);
        HLSim_ClearCallLog();
    }

    void cleanup() { m_env.reset(); }

    void freshEncoder()
    {
        Guarded param(9);
        QCOMPARE(GetParameter(param.p()), int16_t(1));
        QCOMPARE(param[0], int16_t(2));
        Guarded password(33, 7);
        QCOMPARE(ReadSystemPas(password.p()), int16_t(1));
        std::vector<int16_t> expected(33, 0);
        expected[0] = 0x12, expected[1] = 0x34, expected[2] = 0x56, expected[3] = 0x78;
        QCOMPARE(password.words(), expected);
        QCOMPARE(ReadSystemPas(password.p()), int16_t(1));

        int16_t right[4] = { 0x12, 0x34, 0x56, 0x78 }, wrong[4] = { 0x12, 0x34, 0x56, 0x79 };
        QCOMPARE(SystemInitialization(right), int16_t(1));
        QCOMPARE(SystemInitialization(wrong), int16_t(-14));
        QCOMPARE(cardTypeOnEncoder(), int16_t(0));
        CardSlots slots;
        QCOMPARE(slots.read(), int16_t(-1));
        QCOMPARE(callLog(),
            QStringList({ "GetParameter", "ReadSystemPas", "ReadSystemPas", "SystemInitialization",
                "SystemInitialization", "ReadCard", "ReadCard" }));
    }

    // A call writes its buffer and never the word after it.
    void outBuffersKeepTheirBounds_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("connected");
        for (const char *call : { "GetParameter", "Detect_EncoderA", "ReadSystemPas", "ReadDataCard",
                 "ReadOneOpenDoorRecord", "ReadCard" }) {
            QTest::addRow("%s", call) << QString::fromLatin1(call) << true;
            QTest::addRow("%s disconnected", call) << QString::fromLatin1(call) << false;
        }
    }

    void outBuffersKeepTheirBounds()
    {
        QFETCH(QString, call);
        QFETCH(bool, connected);
        const HLSim_DoorRecord records[] = { doorRecord(15, 4, 30, { 5, 0, 0, 0 }) };
        QVERIFY(HLSim_PutDataCard(records, 1));
        QVERIFY(HLSim_AttachCollector(records, 1));
        Guarded data(9);
        QCOMPARE(ReadDataCard(data.p()), int16_t(1));
        QVERIFY(HLSim_SetConnected(connected));
        const int16_t expected = connected ? 1 : -2;

        if (call == "GetParameter" || call == "Detect_EncoderA" || call == "ReadSystemPas" || call == "ReadDataCard") {
            Guarded out(call == "ReadSystemPas" ? 33 : 9);
            const int16_t result = call == "GetParameter" ? GetParameter(out.p())
                : call == "Detect_EncoderA"               ? Detect_EncoderA(out.p())
                : call == "ReadSystemPas"                 ? ReadSystemPas(out.p())
                                                          : ReadDataCard(out.p());
            QCOMPARE(result, expected);
            QVERIFY(out.guardsIntact());
        } else if (call == "ReadOneOpenDoorRecord") {
            Guarded building(1), floor(1), unused1(1), unused2(1), room(7), type(1), time(6), buf(9);
            QCOMPARE(ReadOneOpenDoorRecord(
                         building.p(), floor.p(), unused1.p(), unused2.p(), room.p(), type.p(), time.p(), buf.p()),
                expected);
            for (const Guarded *g : { &building, &floor, &unused1, &unused2, &room, &type, &time, &buf })
                QVERIFY(g->guardsIntact());
        } else {
            QVERIFY(HLSim_TakeCard());
            QVERIFY(HLSim_PutBlankCard());
            QVERIFY(HLSim_SetConnected(1));
            QCOMPARE(writeGuestCard(5), int16_t(1));
            QVERIFY(HLSim_SetConnected(connected));
            CardSlots slots;
            QCOMPARE(slots.read(), expected);
            QVERIFY(slots.guardsIntact());
        }
    }

    void disconnectedEncoder_data()
    {
        QTest::addColumn<QString>("call");
        for (const char *call : { "MakeCardOpenPort", "GetParameter", "Detect_EncoderA", "SystemInitialization",
                 "ReadSystemPas", "ClearCardData", "ReadDataCard", "ReadCard", "MakeGuestCard" })
            QTest::addRow("%s", call) << QString::fromLatin1(call);
    }

    void disconnectedEncoder()
    {
        QFETCH(QString, call);
        QVERIFY(HLSim_PutBlankCard());
        QVERIFY(HLSim_SetConnected(0));
        Guarded buf(33);
        int16_t result = 0;
        if (call == "MakeCardOpenPort")
            result = MakeCardOpenPort(1);
        else if (call == "GetParameter")
            result = GetParameter(buf.p());
        else if (call == "Detect_EncoderA")
            result = Detect_EncoderA(buf.p());
        else if (call == "SystemInitialization") {
            int16_t password[4] = { 0x12, 0x34, 0x56, 0x78 };
            result = SystemInitialization(password);
        } else if (call == "ReadSystemPas")
            result = ReadSystemPas(buf.p());
        else if (call == "ClearCardData")
            result = ClearCardData(buf.p());
        else if (call == "ReadDataCard")
            result = ReadDataCard(buf.p());
        else if (call == "ReadCard")
            result = CardSlots().read();
        else
            result = writeGuestCard(5);
        QCOMPARE(result, int16_t(-2));
        if (call == "GetParameter" || call == "Detect_EncoderA")
            QCOMPARE(buf[0], int16_t(-2));

        QVERIFY(HLSim_SetConnected(1));
        QCOMPARE(cardTypeOnEncoder(), int16_t(HL_BLANK_CARD_TYPE));
    }

    void eachWriterWritesItsCardType_data()
    {
        QTest::addColumn<int>("writer");
        for (int i = 0; i < int(std::size(Writers)); ++i)
            QTest::addRow("%s", Writers[i].name) << i;
    }

    void eachWriterWritesItsCardType()
    {
        QFETCH(int, writer);
        const Writer &w = Writers[writer];
        QVERIFY(HLSim_PutBlankCard());
        int16_t cardNo[9] = { 44, 1, 0, 0, 0 };
        int16_t aux1[5] {}, floor[9] = { 3 }, district[5] = { 2 }, room[7] = { 15, 1, 3 }, cardType[9] = { 99 };
        int16_t aux2[5] {}, start[6] = { 2024, 2, 29, 23, 59, 0 }, end[6] = { 2024, 3, 1, 12, 0, 0 };
        // Building and override travel as values: only the low half counts.
        QCOMPARE(w.fn(cardNo, aux1, 0x10001, floor, district, room, 0x20001, cardType, aux2, start, end), int16_t(1));
        QCOMPARE(callLog().last(), QString::fromLatin1(w.name));

        CardSlots slots;
        QCOMPARE(slots.read(), int16_t(1));
        QCOMPARE(slots.cardType[0], w.type);
        QCOMPARE(slots.cardNo.words(), std::vector<int16_t>({ 44, 1, 0, 0, 0, 0, 0, 0, 0 }));
        QCOMPARE(slots.building[0], int16_t(1));
        QCOMPARE(slots.override[0], int16_t(1));
        QCOMPARE(slots.floor[0], int16_t(3));
        QCOMPARE(slots.district[0], int16_t(2));
        QCOMPARE(slots.start.words(), std::vector<int16_t>({ 2024, 2, 29, 23, 59, 0 }));
        QCOMPARE(slots.end.words(), std::vector<int16_t>({ 2024, 3, 1, 12, 0, 0 }));

        // Only a blank card takes a new card.
        QCOMPARE(w.fn(cardNo, aux1, 1, floor, district, room, 0, cardType, aux2, start, end), int16_t(-15));
        QVERIFY(HLSim_TakeCard());
        QCOMPARE(w.fn(cardNo, aux1, 1, floor, district, room, 0, cardType, aux2, start, end), int16_t(-1));
    }

    void writtenCardReportsOnlyTheRoomNumber()
    {
        QVERIFY(HLSim_PutBlankCard());
        QCOMPARE(writeGuestCard(5), int16_t(1));
        CardSlots slots;
        std::fill_n(slots.room.p(), 7, int16_t(9));
        QCOMPARE(slots.read(), int16_t(1));
        QCOMPARE(slots.room.words(), std::vector<int16_t>({ 15, 0, 0, 0, 0, 0, 0 }));
        QCOMPARE(slots.building[0], int16_t(1));
        QCOMPARE(slots.floor[0], int16_t(3));

        // The card itself keeps the whole room block.
        int16_t card[HL_CARD_WORDS] {};
        QCOMPARE(HLSim_GetCard(card), 1);
        QCOMPARE(
            std::vector<int16_t>(card + HL_ROOM_OFFSET, card + HL_ROOM_OFFSET + 3), std::vector<int16_t>({ 15, 1, 3 }));
    }

    void clearCard_data()
    {
        QTest::addColumn<bool>("blank");
        QTest::addColumn<std::vector<int16_t>>("number");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("typeAfter");
        QTest::newRow("own number") << false << std::vector<int16_t> { 5, 0, 0, 0, 7 } << 1 << int(HL_BLANK_CARD_TYPE);
        QTest::newRow("other number") << false << std::vector<int16_t> { 6, 0, 0, 0, 0 } << -15 << 4;
        QTest::newRow("fourth word differs") << false << std::vector<int16_t> { 5, 0, 0, 1, 0 } << -15 << 4;
        QTest::newRow("blank card") << true << std::vector<int16_t> { 0, 0, 0, 0, 0 } << 1 << int(HL_BLANK_CARD_TYPE);
    }

    void clearCard()
    {
        QFETCH(bool, blank);
        QFETCH(std::vector<int16_t>, number);
        QFETCH(int, result);
        QFETCH(int, typeAfter);
        QVERIFY(HLSim_PutBlankCard());
        if (!blank)
            QCOMPARE(writeGuestCard(5), int16_t(1));
        Guarded cardNo(9);
        std::copy(number.begin(), number.end(), cardNo.p());
        QCOMPARE(ClearCardData(cardNo.p()), int16_t(result));
        QCOMPARE(cardTypeOnEncoder(), int16_t(typeAfter));
        QVERIFY(HLSim_TakeCard());
        QCOMPARE(ClearCardData(cardNo.p()), int16_t(-1));
    }

    void failNextIsOneShot_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<int>("code");
        QTest::newRow("ReadCard") << QStringLiteral("ReadCard") << -7;
        QTest::newRow("any") << QStringLiteral("any") << -15;
        QTest::newRow("MakeGuestCard no card") << QStringLiteral("MakeGuestCard") << -1;
    }

    void failNextIsOneShot()
    {
        QFETCH(QString, function);
        QFETCH(int, code);
        QVERIFY(HLSim_PutBlankCard());
        const QByteArray name = function.toLatin1();
        QVERIFY(HLSim_FailNext(function == "any" ? nullptr : name.constData(), code));

        // Another function passes untouched and leaves the fault armed.
        if (function != "any") {
            Guarded param(9);
            QCOMPARE(GetParameter(param.p()), int16_t(1));
        }
        if (function == "MakeGuestCard") {
            QCOMPARE(writeGuestCard(5), int16_t(code));
            QCOMPARE(cardTypeOnEncoder(), int16_t(HL_BLANK_CARD_TYPE)); // nothing written
            QCOMPARE(writeGuestCard(5), int16_t(1));
            QCOMPARE(cardTypeOnEncoder(), int16_t(4));
            return;
        }
        CardSlots slots;
        std::fill_n(slots.cardType.p(), 9, int16_t(77));
        QCOMPARE(slots.read(), int16_t(code));
        QCOMPARE(slots.cardType[0], int16_t(77)); // the failed call touched nothing
        QCOMPARE(slots.read(), int16_t(1));
        QCOMPARE(slots.cardType[0], int16_t(HL_BLANK_CARD_TYPE));
    }

    void failNextSurvivesInTheStateFile()
    {
        QVERIFY(HLSim_FailNext("ReadCard", -7));
        QByteArray out;
        QCOMPARE(lockctl({ "show" }, &out), 0);
        QVERIFY2(out.contains("ReadCard returns -7"), out.constData());
        QCOMPARE(CardSlots().read(), int16_t(-7));
        QCOMPARE(lockctl({ "show" }, &out), 0);
        QVERIFY2(!out.contains("returns"), out.constData());
    }

    void doorRecordsReadableTwice()
    {
        const HLSim_DoorRecord records[] = {
            doorRecord(15, 4, 30, { 5, 0, 0, 0 }),
            doorRecord(16, 10, 31, { 44, 1, 0, 0 }),
        };
        QVERIFY(HLSim_PutDataCard(records, 2));
        for (int pass = 0; pass < 2; ++pass) {
            Guarded data(9);
            QCOMPARE(ReadDataCard(data.p()), int16_t(1));
            for (const HLSim_DoorRecord &r : records) {
                int16_t building = 0, floor = 0, unused1 = 0, unused2 = 0, type = 0;
                Guarded room(7, 9), time(6), buf(9);
                QCOMPARE(
                    ReadOneOpenDoorRecord(&building, &floor, &unused1, &unused2, room.p(), &type, time.p(), buf.p()),
                    int16_t(1));
                QCOMPARE(building, r.building);
                QCOMPARE(floor, r.floor);
                QCOMPARE(room[0], r.room);
                QCOMPARE(type, r.cardType);
                QCOMPARE(std::vector<int16_t>(time.p(), time.p() + 5), std::vector<int16_t>(r.time, r.time + 5));
                QVERIFY(time[5] != 0);
                QCOMPARE(std::vector<int16_t>(buf.p(), buf.p() + 4), std::vector<int16_t>(r.cardNo, r.cardNo + 4));
            }
            int16_t w[16] {};
            QCOMPARE(ReadOneOpenDoorRecord(w, w, w, w, w, w, w, w), int16_t(0));
        }
    }

    void readDataCard_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<int>("device");
        QTest::addColumn<int>("collectorRecords"); // -1: none attached
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("detected");
        QTest::newRow("no card") << QStringLiteral("none") << 2 << -1 << -1 << 2;
        QTest::newRow("blank card") << QStringLiteral("blank") << 2 << -1 << -15 << 2;
        QTest::newRow("guest card") << QStringLiteral("guest") << 2 << -1 << -15 << 2;
        QTest::newRow("data card without records") << QStringLiteral("data") << 2 << -1 << 0 << 2;
        QTest::newRow("data card with records") << QStringLiteral("records") << 2 << -1 << 1 << 2;
        QTest::newRow("collector on device 3") << QStringLiteral("none") << 3 << 2 << 1 << 11;
        QTest::newRow("empty collector on device 3") << QStringLiteral("records") << 3 << 0 << 0 << 11;
        QTest::newRow("collector on device 2 reads the card") << QStringLiteral("guest") << 2 << 2 << -15 << 11;
    }

    void readDataCard()
    {
        QFETCH(QString, card);
        QFETCH(int, device);
        QFETCH(int, collectorRecords);
        QFETCH(int, result);
        QFETCH(int, detected);
        const HLSim_DoorRecord records[] = { doorRecord(15, 4, 30, { 5, 0, 0, 0 }), doorRecord(16, 4, 0, {}) };
        if (card == "blank" || card == "guest" || card == "data")
            QVERIFY(HLSim_PutBlankCard());
        if (card == "guest")
            QCOMPARE(writeGuestCard(5), int16_t(1));
        if (card == "data")
            QCOMPARE(writeGuestCard(5, MakeDataCard), int16_t(1));
        if (card == "records")
            QVERIFY(HLSim_PutDataCard(records, 2));
        QVERIFY(HLSim_SetDeviceType(device));
        if (collectorRecords >= 0)
            QVERIFY(HLSim_AttachCollector(records, collectorRecords));

        Guarded detect(9);
        QCOMPARE(Detect_EncoderA(detect.p()), int16_t(1));
        QCOMPARE(detect[0], int16_t(detected));
        Guarded data(9);
        QCOMPARE(ReadDataCard(data.p()), int16_t(result));
        int16_t w[16] {};
        int delivered = 0;
        while (ReadOneOpenDoorRecord(w, w, w, w, w, w, w, w) == 1 && delivered < 10)
            ++delivered;
        QCOMPARE(delivered, result == 1 ? 2 : 0);
    }

    void secondProcessSeesTheState()
    {
        QVERIFY(HLSim_PutBlankCard());
        QCOMPARE(writeGuestCard(44), int16_t(1));
        QByteArray out;
        QCOMPARE(lockctl({ "show" }, &out), 0);
        for (const char *expected : { "type 4 (guest card)", "Number:        0000002C", "Building:      1",
                 "Floor:         3", "Room:          15", "Start:         2024-03-05 12:00" })
            QVERIFY2(out.contains(expected), out.constData());

        QCOMPARE(lockctl({ "card", "type=10", "no=0A00012C", "building=2", "floor=5", "room=7",
                     "start=2024-03-05T12:00", "end=2024-03-06T12:30" }),
            0);
        CardSlots slots;
        QCOMPARE(slots.read(), int16_t(1));
        QCOMPARE(slots.cardType[0], int16_t(10));
        QCOMPARE(slots.cardNo.words(), std::vector<int16_t>({ 44, 1, 0, 10, 0, 0, 0, 0, 0 }));
        QCOMPARE(slots.building[0], int16_t(2));
        QCOMPARE(slots.floor[0], int16_t(5));
        QCOMPARE(slots.room[0], int16_t(7));
        QCOMPARE(slots.end.words(), std::vector<int16_t>({ 2024, 3, 6, 12, 30, 0 }));

        QCOMPARE(lockctl({ "password", "A1B2C3D4" }), 0);
        int16_t password[4] = { 0xA1, 0xB2, 0xC3, 0xD4 };
        QCOMPARE(SystemInitialization(password), int16_t(1));
        QCOMPARE(lockctl({ "disconnect" }), 0);
        QCOMPARE(slots.read(), int16_t(-2));
        QCOMPARE(lockctl({ "reset" }), 0);
        QCOMPARE(lockctl({ "blank" }), 0);
        QCOMPARE(lockctl({ "show" }, &out), 0);
        QVERIFY2(out.contains("blank (type 20)"), out.constData());
        QCOMPARE(cardTypeOnEncoder(), int16_t(HL_BLANK_CARD_TYPE));
        QCOMPARE(lockctl({ "take" }), 0);
        QCOMPARE(slots.read(), int16_t(-1));
    }

    void lockctlRecordFiles()
    {
        const QString path = m_env->configDir() + QStringLiteral("/records.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("# building floor room type number date time\n"
                   "1 3 15 4 00000005 2024-03-05 12:30\n"
                   "\n"
                   "2 1 7 10 0A00012C 2024-03-06 08:05\n");
        file.close();
        QCOMPARE(lockctl({ "datacard", path }), 0);
        QCOMPARE(lockctl({ "collector", path }), 0);
        HLSim_DoorRecord records[4] {};
        QCOMPARE(HLSim_GetDoorRecords(records, 4), 2);
        QCOMPARE(records[1].room, int16_t(7));
        QCOMPARE(records[1].cardType, int16_t(10));
        QCOMPARE(
            std::vector<int16_t>(records[1].cardNo, records[1].cardNo + 4), std::vector<int16_t>({ 44, 1, 0, 10 }));
        QCOMPARE(
            std::vector<int16_t>(records[1].time, records[1].time + 6), std::vector<int16_t>({ 2024, 3, 6, 8, 5, 0 }));
        QCOMPARE(HLSim_GetCollectorRecords(records, 4), 2);
        QCOMPARE(lockctl({ "collector", "off" }), 0);
        QCOMPARE(HLSim_GetCollectorRecords(records, 4), -1);
    }

    void lockctlRefusesBadInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("no command") << QStringList() << 2;
        QTest::newRow("unknown command") << QStringList { "open" } << 2;
        QTest::newRow("unknown key") << QStringList { "card", "colour=red" } << 2;
        QTest::newRow("bad number") << QStringList { "card", "no=XYZ" } << 2;
        QTest::newRow("bad date") << QStringList { "card", "start=2024-13-01T12:00" } << 2;
        QTest::newRow("short password") << QStringList { "password", "1234" } << 2;
        QTest::newRow("unknown function") << QStringList { "fail", "OpenDoor", "-7" } << 2;
        QTest::newRow("code missing") << QStringList { "fail", "ReadCard" } << 2;
        QTest::newRow("missing file") << QStringList { "datacard", "/nonexistent/records.txt" } << 1;
        QTest::newRow("help") << QStringList { "--help" } << 0;
    }

    void lockctlRefusesBadInput()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QVERIFY(HLSim_PutBlankCard());
        QCOMPARE(lockctl(args), exitCode);
        QCOMPARE(cardTypeOnEncoder(), int16_t(HL_BLANK_CARD_TYPE));
    }

    // A fault armed from another process while cards are being written is
    // spent exactly once, and no card written meanwhile is lost.
    void faultArmedWhileWritingLosesNothing()
    {
        QProcess process;
        process.start(lockctlPath(), { "fail", "MakeGuestCard", "-7" });
        QVERIFY(process.waitForStarted());
        int failures = 0, extraRounds = 0;
        for (int16_t number = 1; extraRounds < 5 && number < 5000; ++number) {
            if (process.state() == QProcess::NotRunning)
                ++extraRounds;
            QVERIFY(HLSim_PutBlankCard());
            const int16_t result = writeGuestCard(number);
            if (result == -7) {
                ++failures;
                QCOMPARE(cardTypeOnEncoder(), int16_t(HL_BLANK_CARD_TYPE));
                continue;
            }
            QCOMPARE(result, int16_t(1));
            int16_t card[HL_CARD_WORDS] {};
            QCOMPARE(HLSim_GetCard(card), 1);
            QCOMPARE(card[HL_CARDNO_OFFSET], number);
        }
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(failures, 1);
    }

    void callLogReportsTheBytesNeeded()
    {
        Guarded param(9);
        QCOMPARE(GetParameter(param.p()), int16_t(1));
        QCOMPARE(MakeCardOpenPort(1), int16_t(1));
        const QByteArray expected = "GetParameter\nMakeCardOpenPort\n";
        QCOMPARE(HLSim_CallLog(nullptr, 0), int(expected.size()) + 1);
        char small[8];
        std::fill_n(small, 8, 'x');
        QCOMPARE(HLSim_CallLog(small, 5), int(expected.size()) + 1);
        QCOMPARE(QByteArray(small), QByteArray("GetP"));
        QVERIFY(HLSim_ClearCallLog());
        QCOMPARE(HLSim_CallLog(nullptr, 0), 1);
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
