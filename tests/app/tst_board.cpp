#include "Board.h"
#include "DbError.h"
#include "HotelFixture.h"
#include "Sql.h"

#include <QTest>

class TestBoard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void imageIndex_data();
    void imageIndex();
    void filterLines_data();
    void filterLines();
    void readBoard_rows();
    void readBoard_filters();
    void readBoard_refused();
};

void TestBoard::imageIndex_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("live");
    QTest::addColumn<int>("image");
    QTest::newRow("state 1 free") << 1 << false << 1;
    QTest::newRow("state 0 free") << 0 << false << 0;
    QTest::newRow("state 1 occupied") << 1 << true << 3;
    QTest::newRow("state 0 occupied") << 0 << true << 2;
    QTest::newRow("state 2 occupied") << 2 << true << 0;
    QTest::newRow("state 2 free") << 2 << false << 0;
}

void TestBoard::imageIndex()
{
    QFETCH(int, state);
    QFETCH(bool, live);
    QFETCH(int, image);
    QCOMPARE(boardImageIndex(state, live), image);
}

void TestBoard::filterLines_data()
{
    QTest::addColumn<std::optional<int>>("building");
    QTest::addColumn<std::optional<int>>("floor");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("none") << std::optional<int>() << std::optional<int>() << QStringList();
    QTest::newRow("both") << std::optional<int>(1) << std::optional<int>(2)
                          << QStringList { "where", "I.Buiding=?", "and", "I.Floor=?" };
    QTest::newRow("floor only") << std::optional<int>() << std::optional<int>(3)
                                << QStringList { "where", "I.Floor=?" };
    QTest::newRow("building only") << std::optional<int>(2) << std::optional<int>()
                                   << QStringList { "where", "I.Buiding=?" };
}

void TestBoard::filterLines()
{
    QFETCH(std::optional<int>, building);
    QFETCH(std::optional<int>, floor);
    QFETCH(QStringList, lines);
    QStringList all = boardStatement({ building, floor }).split(QLatin1Char('\n'));
    QCOMPARE(all.first(), QStringLiteral("Select I.*,G.GuestLeaveTime,G.LeaveTime,G.GuestName,G.GuestID,"));
    QCOMPARE(all.last(), QStringLiteral("ORDER BY I.Buiding,I.Floor,I.ROOM"));
    QCOMPARE(all.at(6), QStringLiteral("left join "));
    QCOMPARE(all.mid(10, all.size() - 11), lines);
}

void TestBoard::readBoard_rows()
{
    for (const bool postgres : { false, true }) {
        HotelFixture hotel(postgres);
        if (!hotel.isOpen())
            continue;
        hotel.addRoom(QStringLiteral("101"), 1, 1, 1, 0);
        hotel.addRoom(QStringLiteral("102"), 1, 1, 2, 1);
        hotel.addRoom(QStringLiteral("103"), 1, 1, 3, 0);
        hotel.addRoom(QStringLiteral("104"), 1, 1, 4, 1);
        hotel.addRoom(QStringLiteral("105"), 1, 1, 5, 7); // no such state: not on the board
        hotel.addRoom(QStringLiteral("201"), 1, 2, 1, 0);
        hotel.addRoom(QStringLiteral("贵宾301"), 1, 3, 1, 1);
        hotel.addStay(QStringLiteral("贵宾301"));
        hotel.addStay(QStringLiteral("103"));
        hotel.addStay(QStringLiteral("103")); // two live stays: shown twice
        hotel.addStay(QStringLiteral("104"));
        hotel.addStay(QStringLiteral("101"), /*closed=*/true);
        const QList<BoardItem> items = readBoard(hotel.db(), {});
        QStringList shown;
        QList<int> images;
        for (const BoardItem &item : items) {
            shown << item.roomStr;
            images << item.imageIndex;
        }
        QCOMPARE(shown, (QStringList { "101", "102", "103", "103", "104", "201", "贵宾301" }));
        QCOMPARE(images, (QList<int> { 0, 1, 2, 2, 3, 0, 3 }));
    }
}

void TestBoard::readBoard_filters()
{
    for (const bool postgres : { false, true }) {
        HotelFixture hotel(postgres);
        if (!hotel.isOpen())
            continue;
        hotel.addRoom(QStringLiteral("1101"), 1, 1, 1, 0);
        hotel.addRoom(QStringLiteral("1201"), 1, 2, 1, 0);
        hotel.addRoom(QStringLiteral("2201"), 2, 2, 1, 0);
        auto rooms = [&](const BoardFilter &filter) {
            QStringList list;
            for (const BoardItem &item : readBoard(hotel.db(), filter))
                list << item.roomStr;
            return list;
        };
        QCOMPARE(rooms({ 1, std::nullopt }), (QStringList { "1101", "1201" }));
        QCOMPARE(rooms({ std::nullopt, 2 }), (QStringList { "1201", "2201" }));
        QCOMPARE(rooms({ 2, 2 }), (QStringList { "2201" }));
        QCOMPARE(rooms({ 3, std::nullopt }), QStringList());
    }
}

// A statement the database refuses reaches the operator with its own text.
void TestBoard::readBoard_refused()
{
    for (const bool postgres : { false, true }) {
        HotelFixture hotel(postgres);
        if (!hotel.isOpen())
            continue;
        hotel.addRoom(QStringLiteral("101"), 1, 1, 1, 0);
        Sql::execDirect(hotel.db(), QStringLiteral("DROP TABLE GuestInRecord"));
        try {
            (void)readBoard(hotel.db(), {});
            QFAIL("the board was read without its stays");
        } catch (const DbError &error) {
            QVERIFY2(error.text().contains(QLatin1String("guestinrecord"), Qt::CaseInsensitive), qPrintable(error.text()));
        }
    }
}

QTEST_MAIN(TestBoard)
#include "tst_board.moc"
