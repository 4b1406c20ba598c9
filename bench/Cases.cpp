#include "Cases.h"

#include "Board.h"
#include "CardIssue.h"
#include "CardOperations.h"
#include "Clock.h"
#include "Connection.h"
#include "DataModule.h"
#include "Encoder.h"
#include "Identifiers.h"
#include "LogonForm.h"
#include "MainForm.h"
#include "RoundTrips.h"
#include "Settings.h"
#include "Sql.h"
#include "TarvaneApplication.h"
#include "Translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLibrary>
#include <QListWidget>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>

#include <sodium.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace {

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

} // namespace

void countRoundTrips(OpenHotel &hotel, CaseResult &result, const std::function<void()> &operation)
{
    if (!Sql::isPostgres(hotel.db))
        return;
    RoundTrips::reset();
    operation();
    result.roundTrips = double(RoundTrips::count());
}

// Puts a blank card on the simulator once; after that each guest card written
// lies there and is cleared by the next issue, as at a desk.
void prepareEncoder()
{
    QLibrary library(Encoder::libraryPath());
    using Reset = int (*)();
    const auto reset = reinterpret_cast<Reset>(library.resolve("HLSim_Reset"));
    const auto putBlank = reinterpret_cast<Reset>(library.resolve("HLSim_PutBlankCard"));
    if (!reset || !putBlank)
        throw std::runtime_error(
            "the card encoder simulator is not beside the benchmark: " + Encoder::libraryPath().toStdString());
    reset();
    putBlank();
}

QSqlDatabase openProgramConnection(const QString &path, const QString &connectionName)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    if (!db.open())
        throw std::runtime_error(db.lastError().text().toStdString());
    configureConnection(db);
    return db;
}

Repeats Repeats::quick()
{
    Repeats r;
    r.board = 10;
    r.boardView = 5;
    r.lookup = 200;
    r.cardIssue = 100;
    r.journalLookup = 200;
    r.override = 50;
    r.startup = 10;
    return r;
}

CaseResult boardCase(
    OpenHotel &hotel, const QString &name, std::optional<int> building, std::optional<int> floor, int repeats)
{
    const BoardFilter filter { building, floor };
    qsizetype rows = 0;
    const auto ours = timeRuns(repeats, [&] { rows = readBoard(hotel.db, filter).size(); });
    std::vector<double> raw;
    if (hotel.raw) {
        auto statement = hotel.raw->prepare(boardStatement(filter));
        raw = timeRuns(repeats, [&] {
            int position = 1;
            if (building)
                statement->bind(position++, int64_t(*building));
            if (floor)
                statement->bind(position++, int64_t(*floor));
            QList<BoardItem> items;
            while (statement->step()) {
                const int state = statement->isNull(6) ? -1 : int(statement->integer(6));
                items.append(BoardItem {
                    QString::fromUtf8(statement->text(0)), boardImageIndex(state, !statement->isNull(14)) });
            }
            statement->reset();
            if (items.size() != rows)
                throw std::runtime_error("the raw board read another number of rooms");
        });
    }
    CaseResult result = compare(name, ours, raw);
    result.note = QStringLiteral("%1 rooms shown").arg(rows);
    if (hotel.raw) {
        // What the driver does besides: every column of every row taken as a value.
        auto statement = hotel.raw->prepare(boardStatement(filter));
        const auto everyColumn = timeRuns(repeats, [&] {
            int position = 1;
            if (building)
                statement->bind(position++, int64_t(*building));
            if (floor)
                statement->bind(position++, int64_t(*floor));
            QVariantList values;
            while (statement->step()) {
                for (int column = 0; column < statement->columns(); ++column)
                    values.append(
                        statement->isNull(column) ? QVariant() : QVariant(QString::fromUtf8(statement->text(column))));
            }
            statement->reset();
        });
        result.note += QStringLiteral("; raw taking all %1 columns: ratio=%2")
                           .arg(statement->columns())
                           .arg(result.medianMs / median(everyColumn), 0, 'f', 2);
    }
    countRoundTrips(hotel, result, [&] { (void)readBoard(hotel.db, filter); });
    return result;
}

CaseResult boardViewCase(int repeats)
{
    TMainForm form({ [] { return int16_t(1); }, {} });
    form.show();
    QCoreApplication::processEvents();
    const auto ours = timeRuns(repeats, [&] {
        form.SetRoom_LV();
        form.Room_ListView->viewport()->repaint();
    });
    CaseResult result = alone(QStringLiteral("board_view"), ours);
    result.note = QStringLiteral("%1 board items").arg(form.Room_ListView->count());
    return result;
}

CaseResult lookupCase(OpenHotel &hotel, const QString &name, int repeats)
{
    const int rooms = hotel.size.rooms();
    int next = 0;
    auto pick = [&] { return roomPlace(hotel.size, int((qint64(next++) * 7919) % rooms)); };
    const auto ours = timeRuns(repeats, [&] {
        const RoomPlace place = pick();
        if (!RoomExists(place.roomStr, hotel.db))
            throw std::runtime_error("room missing");
        const RoomBlock block = LookupRoomBlock(place.roomStr, hotel.db);
        (void)ReadRoomCardSn(place.roomStr, hotel.db);
        if (LookupRoomStr(block, hotel.db) != place.roomStr || LookupSystemRoomStr(block, hotel.db).isEmpty())
            throw std::runtime_error("room block does not lead back to its room");
    });
    std::vector<double> raw;
    if (hotel.raw) {
        auto exists = hotel.raw->prepare(QStringLiteral("SELECT 1 FROM RoomInfo WHERE RoomStr = ?"));
        auto block
            = hotel.raw->prepare(QStringLiteral("SELECT RoomNumber, Buiding, Floor FROM RoomInfo WHERE RoomStr = ?"));
        auto counter = hotel.raw->prepare(QStringLiteral("SELECT CardSn FROM RoomInfo WHERE RoomStr = ?"));
        auto roomStr = hotel.raw->prepare(
            QStringLiteral("SELECT RoomStr FROM RoomInfo WHERE Buiding = ? AND Floor = ? AND RoomNumber = ?"));
        auto systemRoomStr = hotel.raw->prepare(
            QStringLiteral("SELECT SystemRoomStr FROM RoomInfo WHERE Buiding = ? AND Floor = ? AND RoomNumber = ?"));
        raw = timeRuns(repeats, [&] {
            const QByteArray key = utf8(pick().roomStr);
            exists->bind(1, key).step();
            exists->reset();
            block->bind(1, key).step();
            const int64_t number = block->integer(0), building = block->integer(1), floor = block->integer(2);
            block->reset();
            counter->bind(1, key).step();
            counter->reset();
            roomStr->bind(1, building).bind(2, floor).bind(3, number).step();
            const QString found = QString::fromUtf8(roomStr->text(0));
            roomStr->reset();
            systemRoomStr->bind(1, building).bind(2, floor).bind(3, number).step();
            const QString system = QString::fromUtf8(systemRoomStr->text(0));
            systemRoomStr->reset();
            if (found.isEmpty() || system.isEmpty())
                throw std::runtime_error("raw room look-up found nothing");
        });
    }
    CaseResult result = compare(name, ours, raw);
    countRoundTrips(hotel, result, [&] {
        const RoomPlace place = pick();
        (void)RoomExists(place.roomStr, hotel.db);
        const RoomBlock found = LookupRoomBlock(place.roomStr, hotel.db);
        (void)ReadRoomCardSn(place.roomStr, hotel.db);
        (void)LookupRoomStr(found, hotel.db);
        (void)LookupSystemRoomStr(found, hotel.db);
    });
    return result;
}

CaseResult cardIssueCase(OpenHotel &hotel, const QString &name, int repeats)
{
    const int rooms = hotel.size.rooms();
    int next = 0;
    auto pick = [&] { return roomPlace(hotel.size, int((qint64(next++) * 7919) % rooms)); };
    const QDateTime start = Clock::now();
    const QDateTime end = start.addDays(1);
    QElapsedTimer encoderTimer;
    std::vector<double> encoderMs; // the simulator's share of each issue

    auto issueOne = [&] {
        const QString roomStr = pick().roomStr;
        if (!RoomExists(roomStr, hotel.db))
            throw std::runtime_error("room missing");
        TCardData card;
        const RoomBlock block = LookupRoomBlock(roomStr, hotel.db);
        std::copy(block.begin(), block.end(), card.Room);
        card.Building = block[1];
        card.Floor[0] = block[2];
        card.CardType[0] = GuestCardType;
        DateTimeToCardTime(start, card.StartTime);
        DateTimeToCardTime(end, card.EndTime);
        CardIssue issue = CardIssue::forRoom(roomStr, hotel.db);
        issue.fillCardNo(card);
        encoderTimer.start();
        const int16_t code = WriteGuestCard(card);
        encoderMs.push_back(double(encoderTimer.nsecsElapsed()) / 1e6);
        if (code != 1)
            throw std::runtime_error("the encoder simulator refused the guest card: " + std::to_string(code));
        issue.recordCard(card, QStringLiteral("宾客"), QStringLiteral("发客人卡") + roomStr);
        issue.commit();
    };
    const auto ours = timeRuns(repeats, issueOne);
    const double encoderMedian = median(encoderMs);

    std::vector<double> raw;
    if (hotel.raw) {
        auto exists = hotel.raw->prepare(QStringLiteral("SELECT 1 FROM RoomInfo WHERE RoomStr = ?"));
        auto block
            = hotel.raw->prepare(QStringLiteral("SELECT RoomNumber, Buiding, Floor FROM RoomInfo WHERE RoomStr = ?"));
        auto counter = hotel.raw->prepare(QStringLiteral("SELECT CardSn FROM RoomInfo WHERE RoomStr = ?"));
        auto advance = hotel.raw->prepare(
            QStringLiteral("UPDATE RoomInfo SET CardSn = COALESCE(CardSn, 0) + 1 WHERE RoomStr = ?"));
        auto roomStrOf = hotel.raw->prepare(
            QStringLiteral("SELECT RoomStr FROM RoomInfo WHERE Buiding = ? AND Floor = ? AND RoomNumber = ?"));
        auto systemRoomStrOf = hotel.raw->prepare(
            QStringLiteral("SELECT SystemRoomStr FROM RoomInfo WHERE Buiding = ? AND Floor = ? AND RoomNumber = ?"));
        auto journal = hotel.raw->prepare(
            QStringLiteral("INSERT INTO MakeCardRecord (CardType, Rom, RoomStr, enOverride, Holder, Explain, MakeUser, "
                           "MakeName, Floor, District, Buiding, StartTime, EndTime, InputTime) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        const QByteArray startText = utf8(Sql::dateTimeValue(start).toString());
        const QByteArray endText = utf8(Sql::dateTimeValue(end).toString());
        raw = timeRuns(repeats, [&] {
            const QString roomStr = pick().roomStr;
            const QByteArray key = utf8(roomStr);
            exists->bind(1, key).step();
            exists->reset();
            block->bind(1, key).step();
            const int64_t number = block->integer(0), building = block->integer(1), floor = block->integer(2);
            block->reset();
            hotel.raw->exec("BEGIN IMMEDIATE");
            counter->bind(1, key).step();
            const int64_t count = counter->integer(0);
            counter->reset();
            advance->bind(1, key).step();
            advance->reset();
            roomStrOf->bind(1, building).bind(2, floor).bind(3, number).step();
            const QByteArray foundRoomStr = roomStrOf->text(0);
            roomStrOf->reset();
            systemRoomStrOf->bind(1, building).bind(2, floor).bind(3, number).step();
            const QByteArray rom = QByteArray(systemRoomStrOf->text(0))
                + CardNoText(int16_t(count % 256), int16_t(count / 256), 0, 0).toUtf8();
            systemRoomStrOf->reset();
            journal->bind(1, 4).bind(2, rom).bind(3, foundRoomStr).bind(4, 0).bind(5, QByteArrayLiteral("宾客"));
            journal->bind(6, utf8(QStringLiteral("发客人卡") + roomStr)).bind(7, QByteArrayLiteral("admin"));
            journal->bind(8, QByteArrayLiteral("系统管理员"));
            journal->bind(12, startText).bind(13, endText).bind(14, startText);
            journal->step();
            journal->reset();
            hotel.raw->exec("COMMIT");
        });
    }
    CaseResult result = compare(name, ours, raw);
    if (result.medianMs > 0)
        result.perSecond = 1000.0 / result.medianMs;
    result.note = QStringLiteral("encoder simulator %1 ms of it").arg(encoderMedian, 0, 'f', 3);
    if (result.ratio && !raw.empty())
        result.note
            += QStringLiteral("; without it ratio=%1").arg((result.medianMs - encoderMedian) / median(raw), 0, 'f', 2);
    result.note += QStringLiteral("; no stay rows yet");
    countRoundTrips(hotel, result, issueOne);
    return result;
}

CaseResult journalLookupCase(OpenHotel &hotel, const QString &name, int repeats)
{
    // Cards that are in the journal, picked by row number through the program's connection.
    std::vector<std::pair<int, QString>> cards;
    {
        QSqlQuery query = Sql::exec(hotel.db, QStringLiteral("SELECT max(RecID) FROM MakeCardRecord"));
        query.next();
        const qint64 last = query.value(0).toLongLong();
        Random random(7);
        QSqlQuery card
            = Sql::prepare(hotel.db, QStringLiteral("SELECT CardType, Rom FROM MakeCardRecord WHERE RecID = ?"));
        while (cards.size() < 200 && last > 0) {
            Sql::exec(card, { 1 + random.below(last) });
            if (card.next())
                cards.emplace_back(card.value(0).toInt(), card.value(1).toString());
            card.finish();
        }
    }
    if (cards.empty())
        throw std::runtime_error("the journal is empty");
    size_t next = 0;
    auto lookUp = [&] {
        const auto &[type, rom] = cards[next++ % cards.size()];
        if (LookupCardHolder(type, rom, hotel.db) == QLatin1String("None")
            || LookupCardMaker(type, rom, hotel.db) == QLatin1String("None"))
            throw std::runtime_error("a card of the journal was not found");
    };
    const auto ours = timeRuns(repeats, lookUp);
    std::vector<double> raw;
    if (hotel.raw) {
        auto maker = hotel.raw->prepare(QStringLiteral(
            "SELECT MakeName FROM MakeCardRecord WHERE CardType = ? AND Rom = ? ORDER BY InputTime DESC"));
        auto holder = hotel.raw->prepare(
            QStringLiteral("SELECT Holder FROM MakeCardRecord WHERE CardType = ? AND Rom = ? ORDER BY InputTime DESC"));
        raw = timeRuns(repeats, [&] {
            const auto &[type, rom] = cards[next++ % cards.size()];
            const QByteArray key = utf8(rom);
            if (!holder->bind(1, type).bind(2, key).step())
                throw std::runtime_error("raw: card not found");
            const QString holderText = QString::fromUtf8(holder->text(0));
            holder->reset();
            maker->bind(1, type).bind(2, key).step();
            const QString makerText = QString::fromUtf8(maker->text(0));
            maker->reset();
        });
    }
    CaseResult result = compare(name, ours, raw);
    result.note = QStringLiteral("%1 journal rows").arg(hotel.size.journalRows);
    countRoundTrips(hotel, result, lookUp);
    return result;
}

CaseResult overrideCase(OpenHotel &hotel, const QString &name, int repeats)
{
    const qint64 live = std::max<qint64>(1, hotel.size.liveStays);
    qint64 next = 0;
    auto words = [&] {
        const qint64 i = next++ % live;
        return std::array<int16_t, 4> { int16_t(i % 256), int16_t(i / 256 % 256), 0, 0 };
    };
    const auto ours = timeRuns(repeats, [&] {
        const auto card = words();
        (void)OverrideStaysOfCard(card.data(), std::nullopt, hotel.db);
    });
    std::vector<double> raw;
    if (hotel.raw) {
        auto stays = hotel.raw->prepare(
            QStringLiteral("SELECT Room FROM GuestInRecord WHERE Rom = ? AND enOverride = 0 ORDER BY ID"));
        raw = timeRuns(repeats, [&] {
            const auto card = words();
            stays->bind(1, utf8(CardNoText(card.data())));
            QStringList rooms;
            while (stays->step())
                rooms << QString::number(stays->integer(0));
            stays->reset();
        });
    }
    CaseResult result = compare(name, ours, raw);
    result.note = QStringLiteral("answered Cancel; ours loads the message library for the question");
    return result;
}

CaseResult startupCase(const QString &databasePath, const QString &workDir, int repeats)
{
    const QString config = QDir(workDir).filePath(QStringLiteral("startup-config"));
    QDir().mkpath(config);
    QFile profile(QDir(config).filePath(QStringLiteral("Keldrix.ini")));
    if (!profile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write the start-up profile");
    profile.write("[SystemInfo]\nLanguageID=2052\n[Client Config]\nConnType=0\nDbPath=");
    profile.write(databasePath.toUtf8());
    profile.write("\n");
    profile.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOTELLOCK_STATE"), QDir(config).filePath(QStringLiteral("hotellock.state")));

    const auto ours = timeRuns(
        repeats,
        [&] {
            QProcess child;
            child.setProcessEnvironment(environment);
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--startup-child") });
            QByteArray output;
            while (!output.contains("painted")) {
                if (!child.waitForReadyRead(30000))
                    throw std::runtime_error("the login window was not painted");
                output += child.readAllStandardOutput();
            }
            child.waitForFinished(30000);
        },
        1);
    return alone(QStringLiteral("startup"), ours);
}

namespace {
class PaintWatch : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Report once the paint has been delivered, then end.
            QTimer::singleShot(0, [] {
                std::fputs("painted\n", stdout);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};
} // namespace

int runStartupChild(int argc, char **argv)
{
    TarvaneApplication app(argc, argv);
    if (sodium_init() < 0)
        return 1;
    installTranslationHooks();
    Tdm dataModule;
    startupLoad();
    openDatabase();
    TLogonForm logon;
    PaintWatch watch;
    logon.installEventFilter(&watch);
    logon.show();
    return app.exec();
}
