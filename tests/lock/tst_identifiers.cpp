// Room, card and time identifiers, and the look-ups on both dialects.
#include "CardOperations.h"
#include "Dialects.h"
#include "Identifiers.h"
#include "LockTestSupport.h"
#include "Settings.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(CardTime)
Q_DECLARE_METATYPE(RoomBlock)
Q_DECLARE_METATYPE(CardNumber)
Q_DECLARE_METATYPE(std::optional<int32_t>)

class TestIdentifiers : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Dialects> m_dialects;

private Q_SLOTS:
    void initTestCase()
    {
        m_dialects = std::make_unique<Dialects>();
        for (const QString &dialect : m_dialects->names()) {
            const QSqlDatabase db = m_dialects->db(dialect);
            addRoom(db, QStringLiteral("1315"), 1315, QStringLiteral("010315"), 1, 3, 15, 300);
            addRoom(db, QStringLiteral("A'1"), 11205, QStringLiteral("110205"), 11, 2, 5, 70000);
            Sql::exec(db, QStringLiteral("UPDATE AllCardSn SET CardSn = 70000 WHERE CardType = 3"));
            Sql::exec(db, QStringLiteral("DELETE FROM AllCardSn WHERE CardType = 13"));
        }
    }

    void cleanupTestCase() { m_dialects.reset(); }

    void cardTime_data()
    {
        QTest::addColumn<QDateTime>("dateTime");
        QTest::addColumn<CardTime>("words");
        QTest::addColumn<QDateTime>("back");
        QTest::newRow("leap day, seconds dropped")
            << QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59, 999)) << CardTime { 2024, 2, 29, 23, 59, 0 }
            << QDateTime(QDate(2024, 2, 29), QTime(23, 59));
        QTest::newRow("midnight") << QDateTime(QDate(2025, 1, 1), QTime(0, 0)) << CardTime { 2025, 1, 1, 0, 0, 0 }
                                  << QDateTime(QDate(2025, 1, 1), QTime(0, 0));
    }
    void cardTime()
    {
        QFETCH(QDateTime, dateTime);
        QFETCH(CardTime, words);
        QFETCH(QDateTime, back);
        QCOMPARE(DateTimeToCardTime(dateTime), words);
        QCOMPARE(CardTimeToDateTime(words), back);
    }

    void invalidCardTime_data()
    {
        QTest::addColumn<CardTime>("words");
        QTest::newRow("zeros") << CardTime { 0, 0, 0, 0, 0, 0 };
        QTest::newRow("month 13") << CardTime { 2024, 13, 1, 12, 0, 0 };
        QTest::newRow("29 February of a common year") << CardTime { 2023, 2, 29, 12, 0, 0 };
        QTest::newRow("hour 24") << CardTime { 2024, 3, 5, 24, 0, 0 };
        QTest::newRow("minute 60") << CardTime { 2024, 3, 5, 12, 60, 0 };
    }
    void invalidCardTime()
    {
        QFETCH(CardTime, words);
        try {
            (void)CardTimeToDateTime(words);
            QFAIL("an invalid card time was accepted");
        } catch (const CardTimeError &error) {
            // The operator sees which words were wrong.
            const QString text = QString::fromStdString(error.what());
            QVERIFY2(
                text.contains(QString::number(words[1])) && text.contains(QString::number(words[4])), qPrintable(text));
        }
    }

    void cardNoText_data()
    {
        QTest::addColumn<CardNumber>("words");
        QTest::addColumn<QString>("text");
        QTest::newRow("fourth word leads") << CardNumber { 12, 0, 0, 4 } << QStringLiteral("0400000C");
        QTest::newRow("counter 300") << CardNumberFromCount(300) << QStringLiteral("0000012C");
        QTest::newRow("counter 70000: nine digits") << CardNumberFromCount(70000) << QStringLiteral("000011170");
        QTest::newRow("zero") << CardNumber {} << QStringLiteral("00000000");
        QTest::newRow("negative word: eight digits") << CardNumber { -1, 0, 0, 0 } << QStringLiteral("000000FFFFFFFF");
        QTest::newRow("negative card type") << CardNumber { 1, 0, 0, -2 } << QStringLiteral("FFFFFFFE000001");
    }
    void cardNoText()
    {
        QFETCH(CardNumber, words);
        QFETCH(QString, text);
        QCOMPARE(CardNoText(words.data()), text);
    }

    void counterWords()
    {
        QCOMPARE(CardNumberFromCount(300), (CardNumber { 44, 1, 0, 0, 0 }));
        QCOMPARE(CardNumberFromCount(70000), (CardNumber { 112, 273, 0, 0, 0 }));
    }

    void roomIdentifiers_data()
    {
        QTest::addColumn<QString>("building");
        QTest::addColumn<QString>("floor");
        QTest::addColumn<int>("roomNumber");
        QTest::addColumn<QString>("systemRoomStr");
        QTest::addColumn<std::optional<int32_t>>("room");
        const auto row = [](const char *name, const char *building, const char *floor, int roomNumber,
                             const char *systemRoomStr, std::optional<int32_t> room) {
            QTest::newRow(name) << QString(building) << QString(floor) << roomNumber << QString(systemRoomStr) << room;
        };
        row("1-3-15", "1", "3", 15, "010315", 1315);
        row("typed 01 and 03", "01", "03", 15, "010315", 10315);
        row("1-12-5", "1", "12", 5, "011205", 11205);
        row("11-2-5 shares Room", "11", "2", 5, "110205", 11205);
        row("three-digit floor kept", "1", "012", 5, "0101205", 101205);
        row("largest integer", "2147483", "6", 47, "21474830647", 2147483647);
        row("one past: no value, no wrap", "2147483", "6", 48, "21474830648", std::nullopt);
        row("letters: no value", "A", "1", 1, "0A0101", std::nullopt);
    }
    void roomIdentifiers()
    {
        QFETCH(QString, building);
        QFETCH(QString, floor);
        QFETCH(int, roomNumber);
        QFETCH(QString, systemRoomStr);
        QFETCH(std::optional<int32_t>, room);
        QCOMPARE(SystemRoomStr(building, floor, roomNumber), systemRoomStr);
        QCOMPARE(Room(building, floor, roomNumber), room);
    }

    void datePartToken_data()
    {
        QTest::addColumn<int>("connType");
        QTest::addColumn<QStringList>("tokens"); // day, minute, hour
        QTest::newRow("embedded") << 0 << QStringList { "'d'", "'n'", "'h'" };
        QTest::newRow("server") << 1 << QStringList { "'d'", "'n'", "'hh'" };
        QTest::newRow("other kind") << 2 << QStringList { "", "", "" };
    }
    void datePartToken()
    {
        QFETCH(int, connType);
        QFETCH(QStringList, tokens);
        SystemSettings.ConnType = uint8_t(connType);
        QCOMPARE(DatePartToken(DatePart::Day), tokens[0]);
        QCOMPARE(DatePartToken(DatePart::Minute), tokens[1]);
        QCOMPARE(DatePartToken(DatePart::Hour), tokens[2]);
        SystemSettings.ConnType = 0;
    }

    // Each dialect's token works in its own DateDiff.
    void datePartTokenInDateDiff_data()
    {
        QTest::addColumn<QString>("dialect");
        m_dialects->newRows("DateDiff", [](QTestData &) {});
    }
    void datePartTokenInDateDiff()
    {
        QFETCH(QString, dialect);
        const QSqlDatabase db = m_dialects->db(dialect);
        const int connType = dialect == QLatin1String("sqlite") ? 0 : 1;
        const QVariant a = Sql::dateTimeValue(QDateTime(QDate(2024, 3, 5), QTime(23, 59, 30)));
        const QVariant b = Sql::dateTimeValue(QDateTime(QDate(2024, 3, 6), QTime(0, 1, 10)));
        const auto diff = [&](DatePart unit) {
            return scalar(db, QStringLiteral("SELECT DateDiff(%1, ?, ?)").arg(DatePartToken(unit, connType)), { a, b })
                .toInt();
        };
        QCOMPARE(diff(DatePart::Day), 1);
        QCOMPARE(diff(DatePart::Hour), 1);
        QCOMPARE(diff(DatePart::Minute), 2);
    }

    void roomLookups_data()
    {
        QTest::addColumn<QString>("dialect");
        m_dialects->newRows("room look-ups", [](QTestData &) {});
    }
    void roomLookups()
    {
        QFETCH(QString, dialect);
        const QSqlDatabase db = m_dialects->db(dialect);
        QVERIFY(RoomExists(QStringLiteral("1315"), db));
        QVERIFY(RoomExists(QStringLiteral("A'1"), db));
        QVERIFY(!RoomExists(QStringLiteral("9999"), db));
        QCOMPARE(LookupRoomBlock(QStringLiteral("1315"), db), (RoomBlock { 15, 1, 3, 0, 0, 0, 0 }));
        QCOMPARE(LookupRoomBlock(QStringLiteral("9999"), db), RoomBlock {});
        QCOMPARE(LookupRoom(QStringLiteral("A'1"), db), 11205);
        QCOMPARE(LookupRoom(QStringLiteral("9999"), db), 0);
        QCOMPARE(LookupRoomStr(RoomBlock { 15, 1, 3 }, db), QStringLiteral("1315"));
        QCOMPARE(LookupRoomStr(RoomBlock { 5, 11, 2 }, db), QStringLiteral("A'1"));
        QCOMPARE(LookupRoomStr(RoomBlock { 3, 1, 15 }, db), QString());
        QCOMPARE(LookupSystemRoomStr(RoomBlock { 15, 1, 3 }, db), QStringLiteral("010315"));
        QCOMPARE(LookupSystemRoomStr(RoomBlock { 16, 1, 3 }, db), QString());
    }

    void counterLookups_data()
    {
        QTest::addColumn<QString>("dialect");
        m_dialects->newRows("counters", [](QTestData &) {});
    }
    void counterLookups()
    {
        QFETCH(QString, dialect);
        const QSqlDatabase db = m_dialects->db(dialect);
        QCOMPARE(ReadRoomCardSn(QStringLiteral("1315"), db), (CardNumber { 44, 1, 0, 0, 0 }));
        QCOMPARE(ReadRoomCardSn(QStringLiteral("A'1"), db), (CardNumber { 112, 273, 0, 0, 0 }));
        QCOMPARE(ReadRoomCardSn(QStringLiteral("9999"), db), CardNumber {});
        QCOMPARE(ReadTypeCardSn(3, db), (CardNumber { 112, 273, 0, 0, 0 }));
        QCOMPARE(ReadTypeCardSn(13, db), CardNumber {});

        AdvanceRoomCardSn(QStringLiteral("1315"), db);
        QCOMPARE(ReadRoomCardSn(QStringLiteral("1315"), db), (CardNumber { 45, 1, 0, 0, 0 }));
        QCOMPARE(ReadRoomCardSn(QStringLiteral("A'1"), db), (CardNumber { 112, 273, 0, 0, 0 }));
        AdvanceRoomCardSn(QStringLiteral("9999"), db); // no row: nothing to advance
        QVERIFY(!RoomExists(QStringLiteral("9999"), db));

        AdvanceTypeCardSn(3, db);
        QCOMPARE(ReadTypeCardSn(3, db), (CardNumber { 113, 273, 0, 0, 0 }));
        // A missing counter row is made once, with its card numbered 0 counted.
        AdvanceTypeCardSn(13, db);
        QCOMPARE(ReadTypeCardSn(13, db), (CardNumber { 1, 0, 0, 0, 0 }));
        AdvanceTypeCardSn(13, db);
        QCOMPARE(scalar(db, QStringLiteral("SELECT COUNT(*) FROM AllCardSn WHERE CardType = 13")).toInt(), 1);
        QCOMPARE(ReadTypeCardSn(13, db), (CardNumber { 2, 0, 0, 0, 0 }));
    }

    void cardLookups_data()
    {
        QTest::addColumn<QString>("dialect");
        m_dialects->newRows("card look-ups", [](QTestData &) {});
    }
    void cardLookups()
    {
        QFETCH(QString, dialect);
        const QSqlDatabase db = m_dialects->db(dialect);
        const auto journal = [&](int type, const QString &rom, const QVariant &maker, const QVariant &holder,
                                 const QString &inputTime) {
            Sql::exec(db,
                QStringLiteral("INSERT INTO MakeCardRecord (CardType, Rom, MakeName, Holder, InputTime) "
                               "VALUES (?, ?, ?, ?, ?)"),
                { type, rom, maker, holder, inputTime });
        };
        const QVariant noValue(QMetaType(QMetaType::QString));
        journal(10, QStringLiteral("0A00012C"), QStringLiteral("later"), QStringLiteral("Li"),
            QStringLiteral("2024-03-05 10:00:00"));
        journal(10, QStringLiteral("0A00012C"), QStringLiteral("earlier"), QStringLiteral("Wang"),
            QStringLiteral("2024-03-04 10:00:00"));
        journal(5, QStringLiteral("05000001"), noValue, noValue, QStringLiteral("2024-03-04 10:00:00"));

        QCOMPARE(LookupCardTypeTitle(10, db), QStringLiteral("总控卡"));
        QCOMPARE(LookupCardTypeTitle(7, db), QString(""));
        QCOMPARE(LookupKeyKind(4, db), QStringLiteral("客人卡"));
        QCOMPARE(LookupKeyKind(7, db), QStringLiteral("None"));
        QCOMPARE(LookupCardMaker(10, QStringLiteral("0A00012C"), db), QStringLiteral("later"));
        QCOMPARE(LookupCardHolder(10, QStringLiteral("0A00012C"), db), QStringLiteral("Li"));
        QCOMPARE(LookupCardMaker(4, QStringLiteral("0A00012C"), db), QStringLiteral("None"));
        QCOMPARE(LookupCardHolder(10, QStringLiteral("0A00012D"), db), QStringLiteral("None"));
        QCOMPARE(LookupCardMaker(5, QStringLiteral("05000001"), db), QString(""));
        QCOMPARE(LookupCardHolder(5, QStringLiteral("05000001"), db), QString(""));
    }
};

QTEST_MAIN(TestIdentifiers)
#include "tst_identifiers.moc"
