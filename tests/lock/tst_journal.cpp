// The card journal, closing the stays of a cancelled card, and a card issue
// driven through the encoder as the card windows drive it; both dialects.
#include "CardIssue.h"
#include "CardOperations.h"
#include "Clock.h"
#include "Dialects.h"
#include "Encoder.h"
#include "Identifiers.h"
#include "LockTestSupport.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "TestEnv.h"

#include <QtTest>

#include <memory>

namespace {

const QDateTime Now(QDate(2024, 3, 5), QTime(9, 7, 0));

struct JournalRow {
    QVariantList values;
};

// The journal row with that Rom, as (CardType, RoomStr, enOverride, Holder, Explain, MakeUser, MakeName,
// Floor, District, Buiding, StartTime, EndTime, InputTime).
QVariantList journalRow(const QSqlDatabase &db, const QString &rom)
{
    QSqlQuery query = Sql::exec(db,
        QStringLiteral("SELECT CardType, RoomStr, enOverride, Holder, Explain, MakeUser, "
                       "MakeName, Floor, District, Buiding, StartTime, EndTime, InputTime "
                       "FROM MakeCardRecord WHERE Rom = ?"),
        { rom });
    if (!query.next())
        return {};
    QVariantList row;
    for (int i = 0; i < 13; ++i) {
        const QVariant v = query.value(i);
        if (v.isNull())
            row << QVariant();
        else if (i >= 10)
            row << Sql::readDateTime(v);
        else if (i == 1 || (i >= 3 && i <= 6))
            row << v.toString();
        else
            row << v.toInt();
    }
    if (query.next())
        row << QStringLiteral("second row");
    return row;
}

void addStay(const QSqlDatabase &db, int room, const QString &roomStr, const QString &rom, int enOverride)
{
    Sql::exec(db,
        QStringLiteral("INSERT INTO GuestInRecord (Room, RoomStr, Rom, GuestInTime, GuestLeaveTime, enOverride) "
                       "VALUES (?, ?, ?, '2024-03-04 12:00:00', '2024-03-06 12:00:00', ?)"),
        { room, roomStr, rom, enOverride });
}

} // namespace

class TestJournal : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Dialects> m_dialects;

    void addDialectRows()
    {
        QTest::addColumn<QString>("dialect");
        m_dialects->newRows("database", [](QTestData &) {});
    }

private Q_SLOTS:
    void initTestCase()
    {
        SystemSettings.Staffer = QStringLiteral("op1");
        SystemSettings.StafferName = QStringLiteral("操作员一");
        SystemSettings.LanguageID = 2052;
        Clock::set(Now);
        m_dialects = std::make_unique<Dialects>();
        for (const QString &dialect : m_dialects->names()) {
            const QSqlDatabase db = m_dialects->db(dialect);
            addRoom(db, QStringLiteral("1315"), 1315, QStringLiteral("010315"), 1, 3, 15, 5);
            addRoom(db, QStringLiteral("2206"), 2206, QStringLiteral("020206"), 2, 2, 6, 0);
        }
    }

    void cleanupTestCase()
    {
        m_dialects.reset();
        Clock::reset();
    }

    void journalRows_data()
    {
        QTest::addColumn<QString>("dialect");
        QTest::addColumn<int>("cardType");
        QTest::addColumn<QString>("holder");
        QTest::addColumn<QString>("explanation");
        QTest::addColumn<QString>("rom");
        QTest::addColumn<QVariantList>("columns"); // RoomStr, Holder, Explain, Floor, District, Buiding
        const QVariant none;
        for (const QString &dialect : m_dialects->names()) {
            const auto row = [&](const char *name, int cardType, const char *holder, const char *explanation,
                                 const char *rom, const QVariantList &columns) {
                QTest::addRow("%s: %s", qPrintable(dialect), name)
                    << dialect << cardType << QString::fromUtf8(holder) << QString::fromUtf8(explanation)
                    << QString(rom) << columns;
            };
            row("guest", 4, "Li", "", "01031500000005", { "1315", "Li", "", none, none, none });
            row("floor", 5, "   ", "lobby", "05000005", { none, none, "lobby", 15, none, none });
            row("district", 6, "", "", "06000005", { none, none, "", none, 15, none });
            row("building", 8, " Wang ", "x", "08000005", { none, " Wang ", "x", none, none, 15 });
            row("master", 10, "张三", "", "0A000005", { none, QString::fromUtf8("张三"), "", none, none, none });
        }
    }
    void journalRows()
    {
        QFETCH(QString, dialect);
        QFETCH(int, cardType);
        QFETCH(QString, holder);
        QFETCH(QString, explanation);
        QFETCH(QString, rom);
        QFETCH(QVariantList, columns);
        const QSqlDatabase db = m_dialects->db(dialect);
        // The room block carries 15 in word 0: the room number, or the floor,
        // district or building the special-card window put there.
        TCardData card = guestCard(CardNumber { 5, 0, 0, 0, 0 }, 1, 3, 15);
        card.CardType[0] = int16_t(cardType);
        card.Override = 1;
        WriteCardJournal(card, holder, explanation, db);
        const QVariantList expected { cardType, columns[0], 1, columns[1], columns[2], QStringLiteral("op1"),
            QStringLiteral("操作员一"), columns[3], columns[4], columns[5], QDateTime(QDate(2024, 3, 5), QTime(12, 0)),
            QDateTime(QDate(2024, 3, 6), QTime(12, 0)), Now };
        QCOMPARE(journalRow(db, rom), expected);
    }

    // As the card windows write: a card refused by the encoder leaves no journal row and no counter step.
    void issueThroughEncoder_data()
    {
        QTest::addColumn<QString>("dialect");
        QTest::addColumn<QString>("failFunction");
        QTest::addColumn<int>("code");
        for (const QString &dialect : m_dialects->names()) {
            QTest::addRow("%s: written", qPrintable(dialect)) << dialect << QString() << 1;
            QTest::addRow("%s: no card", qPrintable(dialect)) << dialect << QString() << -1;
            QTest::addRow("%s: write fails", qPrintable(dialect)) << dialect << "MakeGuestCard" << -15;
        }
    }
    void issueThroughEncoder()
    {
        QFETCH(QString, dialect);
        QFETCH(QString, failFunction);
        QFETCH(int, code);
        const QSqlDatabase db = m_dialects->db(dialect);
        TestEnv env;
        env.copyFromBin(QStringLiteral("libHotelLock.so"));
        Simulator sim(env.programFile(QStringLiteral("libHotelLock.so")));
        sim.Reset();
        if (code != -1)
            sim.PutBlankCard();
        if (!failFunction.isEmpty())
            sim.FailNext(failFunction.toUtf8().constData(), code);
        Sql::exec(db, QStringLiteral("DELETE FROM MakeCardRecord"));
        const QVariant counter = scalar(db, QStringLiteral("SELECT CardSn FROM RoomInfo WHERE RoomStr = '2206'"));

        CardNumber issued;
        {
            auto issue = CardIssue::forRoom(QStringLiteral("2206"), db);
            issued = issue.CardNo();
            TCardData card = guestCard(issued, 2, 2, 6);
            const int16_t result = WriteGuestCard(card);
            QCOMPARE(int(result), code);
            if (result == Encoder::Success) {
                issue.recordCard(card, QString(), QString());
                issue.commit();
            }
        }

        const int journal = scalar(db, QStringLiteral("SELECT COUNT(*) FROM MakeCardRecord")).toInt();
        const int advanced = scalar(db, QStringLiteral("SELECT CardSn FROM RoomInfo WHERE RoomStr = '2206'")).toInt()
            - counter.toInt();
        QCOMPARE(journal, code == 1 ? 1 : 0);
        QCOMPARE(advanced, code == 1 ? 1 : 0);
        if (code == 1) {
            // The number on the card is the one journalled.
            const TCardData written = sim.card();
            QCOMPARE(CardIdentityText(written, db), QStringLiteral("020206") + CardNoText(issued.data()));
            QCOMPARE(scalar(db, QStringLiteral("SELECT Rom FROM MakeCardRecord")).toString(),
                QStringLiteral("020206") + CardNoText(written.CardNo));
        }
    }

    void overrideStays_data()
    {
        QTest::addColumn<QString>("dialect");
        QTest::addColumn<bool>("ok");
        for (const QString &dialect : m_dialects->names()) {
            QTest::addRow("%s: OK", qPrintable(dialect)) << dialect << true;
            QTest::addRow("%s: Cancel", qPrintable(dialect)) << dialect << false;
        }
    }
    void overrideStays()
    {
        QFETCH(QString, dialect);
        QFETCH(bool, ok);
        const QSqlDatabase db = m_dialects->db(dialect);
        Sql::exec(db, QStringLiteral("DELETE FROM GuestInRecord"));
        addStay(db, 1315, QStringLiteral("1315"), QStringLiteral("0000012C"), 0);
        addStay(db, 2206, QStringLiteral("2206"), QStringLiteral("0000012C"), 0);
        addStay(db, 3101, QStringLiteral("3101"), QStringLiteral("0000012C"), 1); // closed already
        addStay(db, 4101, QStringLiteral("4101"), QStringLiteral("0000012D"), 0); // another card

        ScriptedPrompts prompts;
        prompts.answer(ok ? QMessageBox::Ok : QMessageBox::Cancel);
        const int16_t number[4] = { 44, 1, 0, 0 };
        QCOMPARE(OverrideStaysOfCard(number, std::nullopt, db), ok ? 2 : 0);
        QCOMPARE(prompts.asked.size(), 1);
        QCOMPARE(prompts.last().icon, QMessageBox::Critical);
        QCOMPARE(prompts.last().title, QStringLiteral("注销卡"));
        QCOMPARE(prompts.last().text, QStringLiteral("以下房间有使用此卡的在住记录：1315,2206。是否退房？"));
        QCOMPARE(prompts.last().buttons, QMessageBox::Ok | QMessageBox::Cancel);

        QSqlQuery stays = Sql::exec(db,
            QStringLiteral("SELECT Room, enOverride, LeaveTime FROM GuestInRecord "
                           "ORDER BY ID"));
        QList<int> open;
        while (stays.next()) {
            if (stays.value(1).toInt() == 0)
                open << stays.value(0).toInt();
            if (ok && (stays.value(0).toInt() == 1315 || stays.value(0).toInt() == 2206))
                QCOMPARE(Sql::readDateTime(stays.value(2)), Now); // the Clock's time, bound
        }
        QCOMPARE(open, ok ? QList<int> { 4101 } : QList<int>({ 1315, 2206, 4101 }));
    }

    // Guest card numbers count per room: the given room's stay alone is listed and closed.
    void overrideStaysOfOneRoom_data() { addDialectRows(); }
    void overrideStaysOfOneRoom()
    {
        QFETCH(QString, dialect);
        const QSqlDatabase db = m_dialects->db(dialect);
        Sql::exec(db, QStringLiteral("DELETE FROM GuestInRecord"));
        addStay(db, 1315, QStringLiteral("1315"), QStringLiteral("00000000"), 0);
        addStay(db, 2206, QStringLiteral("2206"), QStringLiteral("00000000"), 0);

        ScriptedPrompts prompts;
        prompts.answerOk();
        const int16_t number[4] = { 0, 0, 0, 0 };
        QCOMPARE(OverrideStaysOfCard(number, QStringLiteral("1315"), db), 1);
        QCOMPARE(prompts.last().text, QStringLiteral("以下房间有使用此卡的在住记录：1315。是否退房？"));
        QCOMPARE(scalar(db, QStringLiteral("SELECT Room FROM GuestInRecord WHERE enOverride = 0")).toInt(), 2206);

        // Without a live stay there is nothing to ask.
        prompts.clear();
        QCOMPARE(OverrideStaysOfCard(number, QStringLiteral("1315"), db), 0);
        QVERIFY(prompts.asked.isEmpty());
    }

    // The library's pattern is filled, never formatted: "%n" and a second "%s" stay text.
    void overridePatternIsNotFormatted()
    {
        TestEnv env;
        QDir().mkpath(env.programFile(QStringLiteral("Dll/2052")));
        QVERIFY(
            QFile::copy(QDir::cleanPath(TestEnv::binDir() + QStringLiteral("/../stubs/lockmsg/Dll/2052/libLockMsg.so")),
                env.programFile(QStringLiteral("Dll/2052/libLockMsg.so"))));
        const QSqlDatabase db = m_dialects->db(QStringLiteral("sqlite"));
        Sql::exec(db, QStringLiteral("DELETE FROM GuestInRecord"));
        addStay(db, 1315, QStringLiteral("1315"), QStringLiteral("00000001"), 0);
        ScriptedPrompts prompts;
        prompts.answerCancel();
        const int16_t number[4] = { 1, 0, 0, 0 };
        QCOMPARE(OverrideStaysOfCard(number, std::nullopt, db), 0);
        QCOMPARE(prompts.last().text, QStringLiteral("%n 1315 %s"));
    }
};

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
