// Check-out: closing one stay, the board's quick check-out and the check-out
// window, on a fresh hotel database of each dialect.
#include "AppState.h"
#include "CheckOut.h"
#include "Clock.h"
#include "DeskWindows.h"
#include "GuestLeave_Form.h"
#include "HotelFixture.h"
#include "ScriptedPrompts.h"
#include "Sql.h"
#include "WindowRegistry.h"

#include <QHeaderView>
#include <QPushButton>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

namespace {

const QDateTime Now(QDate(2024, 3, 5), QTime(9, 7, 31));
const QDateTime In(QDate(2024, 3, 4), QTime(12, 0));
const QDateTime Out(QDate(2024, 3, 6), QTime(12, 0));

void addDialects()
{
    QTest::addColumn<bool>("postgres");
    QTest::newRow("sqlite") << false;
    if (HotelFixture::postgresConfigured())
        QTest::newRow("postgresql") << true;
}

qint64 addStay(const QSqlDatabase &db, const QString &roomStr, int enOverride = 0)
{
    QSqlQuery insert = Sql::prepare(db,
        QStringLiteral("INSERT INTO GuestInRecord (GuestName, GuestID, Room, RoomStr, Rom, GuestInTime, "
                       "GuestLeaveTime, enOverride, InputUser, MakeName) VALUES ('Li', 'X1', 1, ?, '00000000', ?, "
                       "?, ?, 'op', 'Op')"));
    insert.addBindValue(roomStr);
    insert.addBindValue(Sql::dateTimeValue(In));
    insert.addBindValue(Sql::dateTimeValue(Out));
    insert.addBindValue(enOverride);
    Sql::exec(insert);
    QSqlQuery last = Sql::exec(db, QStringLiteral("SELECT MAX(ID) FROM GuestInRecord"));
    last.next();
    return last.value(0).toLongLong();
}

// enOverride, LeaveTime, GuestInTime, GuestLeaveTime, GuestName, Rom of one stay.
QVariantList stay(const QSqlDatabase &db, qint64 id)
{
    QSqlQuery query = Sql::exec(db,
        QStringLiteral("SELECT enOverride, LeaveTime, GuestInTime, GuestLeaveTime, GuestName, Rom "
                       "FROM GuestInRecord WHERE ID = ?"),
        { id });
    if (!query.next())
        return {};
    return { query.value(0).toInt(), Sql::readDateTime(query.value(1)), Sql::readDateTime(query.value(2)),
        Sql::readDateTime(query.value(3)), query.value(4).toString(), query.value(5).toString() };
}

QVariantList closedStay(const QDateTime &leave)
{
    return { 1, leave, In, Out, QStringLiteral("Li"), QStringLiteral("00000000") };
}

QVariantList liveStay()
{
    return { 0, QDateTime(), In, Out, QStringLiteral("Li"), QStringLiteral("00000000") };
}

QStringList listedRooms(const TGuestLeave_Form &form)
{
    QStringList rooms;
    const QAbstractItemModel *model = form.GuestInRecord_DBGrid->model();
    for (int row = 0; row < model->rowCount(); ++row)
        rooms << model->index(row, 0).data().toString();
    return rooms;
}

} // namespace

class TestCheckOut : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Clock::set(Now);
        RoomsChanged = false;
    }
    void cleanup() { Clock::reset(); }

    // Only enOverride and LeaveTime change; a closed stay is never closed again.
    void closeStayOnce_data() { addDialects(); }
    void closeStayOnce()
    {
        QFETCH(bool, postgres);
        HotelFixture hotel(postgres);
        QVERIFY(hotel.isOpen());
        const qint64 first = addStay(hotel.db(), QStringLiteral("8'01"));
        const qint64 other = addStay(hotel.db(), QStringLiteral("8'01"));

        QVERIFY(closeStay(first, hotel.db()));
        QCOMPARE(stay(hotel.db(), first), closedStay(Now));
        QCOMPARE(stay(hotel.db(), other), liveStay());

        Clock::set(Now.addSecs(3600));
        QVERIFY(!closeStay(first, hotel.db()));
        QCOMPARE(stay(hotel.db(), first), closedStay(Now));
        QCOMPARE(loadLiveStays(hotel.db()).size(), 1);
        QCOMPARE(loadLiveStays(hotel.db()).first().id, other);
    }

    // Three occupied rooms, one free, one unknown, one room with two live stays.
    void quickCheckOutPerRoom_data() { addDialects(); }
    void quickCheckOutPerRoom()
    {
        QFETCH(bool, postgres);
        HotelFixture hotel(postgres);
        QVERIFY(hotel.isOpen());
        const QSqlDatabase db = hotel.db();
        const qint64 a = addStay(db, QStringLiteral("101"));
        const qint64 quoted = addStay(db, QStringLiteral("8'01"));
        const qint64 twiceFirst = addStay(db, QStringLiteral("103"));
        const qint64 twiceSecond = addStay(db, QStringLiteral("103"));
        const qint64 closedBefore = addStay(db, QStringLiteral("104"), 1);
        const qint64 untouched = addStay(db, QStringLiteral("105"));

        const int closed = quickCheckOut({ QStringLiteral("101"), QStringLiteral("8'01"), QStringLiteral("103"),
                                             QStringLiteral("104"), QStringLiteral("999") },
            db);

        QCOMPARE(closed, 3);
        QCOMPARE(stay(db, a), closedStay(Now));
        QCOMPARE(stay(db, quoted), closedStay(Now));
        QCOMPARE(stay(db, twiceFirst), closedStay(Now));
        QCOMPARE(stay(db, twiceSecond), liveStay());
        QCOMPARE(stay(db, closedBefore).at(1), QVariant(QDateTime()));
        QCOMPARE(stay(db, untouched), liveStay());
        // The room keeps its second stay until a second check-out.
        QCOMPARE(quickCheckOut({ QStringLiteral("103") }, db), 1);
        QCOMPARE(quickCheckOut({ QStringLiteral("103") }, db), 0);
    }

    void registryEntries()
    {
        WindowRegistry registry;
        registerCheckOutWindows(registry);
        for (const char *key : { "ModifyGuestCard_Menu", "CheckOut_Menu", "ReadCard_Menu", "ClearCard_Menu" })
            QVERIFY2(registry.has(QLatin1String(key)), key);
        QVERIFY(registry.quickCheckOut);

        HotelFixture hotel;
        addStay(hotel.db(), QStringLiteral("101"));
        QCOMPARE(registry.quickCheckOut({ QStringLiteral("101"), QStringLiteral("102") }), 1);
    }

    void windowChecksOutCurrentRow()
    {
        HotelFixture hotel;
        ScriptedPrompts prompts;
        const QSqlDatabase db = hotel.db();
        const qint64 a = addStay(db, QStringLiteral("101"));
        addStay(db, QStringLiteral("102"), 1);
        const qint64 b = addStay(db, QStringLiteral("8'01"));
        const qint64 c = addStay(db, QStringLiteral("103"));

        TGuestLeave_Form form;
        form.show();
        QCOMPARE(form.windowTitle(), QString::fromUtf8("退房"));
        QCOMPARE(form.NoCardConfirm_Bt->text(), QString::fromUtf8("退  房(&U)"));
        QCOMPARE(form.Close_Bt->text(), QString::fromUtf8("关    闭(&C)"));
        QCOMPARE(form.GuestInRecord_DBGrid->model()->headerData(0, Qt::Horizontal).toString(),
            QString::fromUtf8("门牌号码"));
        QCOMPARE(listedRooms(form), (QStringList { "101", "8'01", "103" }));
        QCOMPARE(form.GuestInRecord_DBGrid->currentIndex().row(), 0);

        form.GuestInRecord_DBGrid->setCurrentIndex(form.GuestInRecord_DBGrid->model()->index(1, 0));
        QTest::mouseClick(form.NoCardConfirm_Bt, Qt::LeftButton);
        QCOMPARE(stay(db, b), closedStay(Now));
        QCOMPARE(stay(db, a), liveStay());
        QVERIFY(RoomsChanged);
        QCOMPARE(listedRooms(form), (QStringList { "101", "103" }));
        QCOMPARE(form.GuestInRecord_DBGrid->currentIndex().row(), 0);

        QTest::mouseClick(form.NoCardConfirm_Bt, Qt::LeftButton);
        QTest::mouseClick(form.NoCardConfirm_Bt, Qt::LeftButton);
        QCOMPARE(stay(db, a), closedStay(Now));
        QCOMPARE(stay(db, c), closedStay(Now));
        QVERIFY(listedRooms(form).isEmpty());

        // The last stay gone, a click does nothing.
        RoomsChanged = false;
        QTest::mouseClick(form.NoCardConfirm_Bt, Qt::LeftButton);
        QVERIFY(!RoomsChanged);
        QVERIFY(prompts.asked.isEmpty());
    }

    // A stay closed at another desk after the list was loaded keeps its leave time.
    void windowStaleRow()
    {
        HotelFixture hotel;
        ScriptedPrompts prompts;
        const qint64 a = addStay(hotel.db(), QStringLiteral("101"));
        const qint64 b = addStay(hotel.db(), QStringLiteral("102"));
        TGuestLeave_Form form;
        form.show();

        const QDateTime elsewhere = Now.addSecs(-600);
        {
            QSqlDatabase second = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("second"));
            second.setDatabaseName(hotel.databaseFile());
            QVERIFY(second.open());
            QSqlQuery update = Sql::prepare(
                second, QStringLiteral("UPDATE GuestInRecord SET enOverride = 1, LeaveTime = ? WHERE ID = ?"));
            Sql::bindDateTime(update, 0, elsewhere);
            update.bindValue(1, a);
            Sql::exec(update);
            second.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("second"));

        QTest::mouseClick(form.NoCardConfirm_Bt, Qt::LeftButton);
        QCOMPARE(stay(hotel.db(), a), closedStay(elsewhere));
        QCOMPARE(stay(hotel.db(), b), liveStay());
        QVERIFY(RoomsChanged);
        QCOMPARE(listedRooms(form), QStringList { "102" });
        QVERIFY(prompts.asked.isEmpty());
    }

    void windowKeys()
    {
        HotelFixture hotel;
        ScriptedPrompts prompts;
        const qint64 a = addStay(hotel.db(), QStringLiteral("101"));
        TGuestLeave_Form form;
        form.show();
        form.GuestInRecord_DBGrid->setFocus();
        QTest::keyClick(form.GuestInRecord_DBGrid, Qt::Key_Return);
        QTest::keyClick(form.GuestInRecord_DBGrid, Qt::Key_Enter);
        QCOMPARE(stay(hotel.db(), a), liveStay());
        QVERIFY(form.isVisible());
        QTest::keyClick(form.GuestInRecord_DBGrid, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Rejected));
    }

    // A refused update shows the database's text and leaves the list usable.
    void windowDatabaseError()
    {
        HotelFixture hotel;
        ScriptedPrompts prompts;
        prompts.setAnswerAll(true);
        const qint64 a = addStay(hotel.db(), QStringLiteral("101"));
        TGuestLeave_Form form;
        form.show();
        Sql::execDirect(hotel.db(),
            QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON GuestInRecord "
                           "BEGIN SELECT RAISE(ABORT, 'stay refused'); END"));
        QTest::mouseClick(form.NoCardConfirm_Bt, Qt::LeftButton);
        QCOMPARE(prompts.asked.size(), 1);
        QVERIFY(prompts.last().text.contains(QStringLiteral("stay refused")));
        QCOMPARE(stay(hotel.db(), a), liveStay());
        QVERIFY(form.NoCardConfirm_Bt->isEnabled());
        QCOMPARE(listedRooms(form), QStringList { "101" });
    }
};

QTEST_MAIN(TestCheckOut)
#include "tst_checkout.moc"
