#include "Cases.h"
#include "Clock.h"
#include "Connection.h"
#include "DataModule.h"
#include "DeskCases.h"
#include "HotelGenerator.h"
#include "Paths.h"
#include "Prompts.h"
#include "Schema.h"
#include "Settings.h"
#include "Sql.h"
#include "TarvaneApplication.h"
#include "Translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlError>
#include <QTemporaryDir>

#include <sodium.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

constexpr uint64_t Seed = 20261201;

void say(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

QString scaleLabel(double scale)
{
    return QStringLiteral("@") + QString::number(scale) + QStringLiteral("x");
}

OpenHotel makeSqliteHotel(const QString &dir, double scale, const QString &connectionName)
{
    OpenHotel hotel;
    hotel.size = HotelSize::scaled(scale);
    const QString path = QDir(dir).filePath(QStringLiteral("hotel-%1.db").arg(scale));
    QElapsedTimer timer;
    timer.start();
    say(QStringLiteral("generating a hotel of %1 rooms, %2 stays, %3 journal rows, %4 door records ...")
            .arg(hotel.size.rooms())
            .arg(hotel.size.stays)
            .arg(hotel.size.journalRows)
            .arg(hotel.size.doorRecords));
    generateSqliteHotel(path, hotel.size, Seed);
    say(QStringLiteral("  done in %1 s").arg(double(timer.elapsed()) / 1000.0, 0, 'f', 1));
    hotel.db = openProgramConnection(path, connectionName);
    hotel.raw = std::make_unique<RawSqlite>(path);
    hotel.label = scaleLabel(scale);
    return hotel;
}

void closeHotel(OpenHotel &hotel)
{
    const QString name = hotel.db.connectionName();
    const QString path = hotel.db.databaseName();
    hotel.raw.reset();
    hotel.db.close();
    hotel.db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
    if (!path.isEmpty()) {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
    }
}

// The server hotel: a database of its own on the server scripts/pg-server starts.
class ServerHotel {
public:
    explicit ServerHotel(double scale)
    {
        m_name = QStringLiteral("bench_%1").arg(QCoreApplication::applicationPid());
        admin(QStringLiteral("CREATE DATABASE %1 OWNER %2 ENCODING 'UTF8'")
                  .arg(m_name, qEnvironmentVariable("TARVANE_PG_USER")));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench-pg"));
        db.setHostName(qEnvironmentVariable("TARVANE_PG_HOST"));
        db.setPort(qEnvironmentVariableIntValue("TARVANE_PG_PORT"));
        db.setUserName(qEnvironmentVariable("TARVANE_PG_USER"));
        db.setPassword(qEnvironmentVariable("TARVANE_PG_PASSWORD"));
        db.setDatabaseName(m_name);
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        configureConnection(db);
        createSchema(db);
        hotel.size = HotelSize::scaled(scale);
        hotel.db = db;
        hotel.label = scaleLabel(scale);
        QElapsedTimer timer;
        timer.start();
        say(QStringLiteral("generating the server hotel of %1 rooms ...").arg(hotel.size.rooms()));
        generatePostgresHotel(db, hotel.size, Seed);
        say(QStringLiteral("  done in %1 s").arg(double(timer.elapsed()) / 1000.0, 0, 'f', 1));
    }
    ~ServerHotel()
    {
        hotel.db.close();
        hotel.db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("bench-pg"));
        try {
            admin(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
        } catch (const std::exception &) {
            // The server is thrown away with the run anyway.
        }
    }

    OpenHotel hotel;

private:
    static void admin(const QString &sql)
    {
        const QString name = QStringLiteral("bench-pg-admin");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(qEnvironmentVariable("TARVANE_PG_HOST"));
            db.setPort(qEnvironmentVariableIntValue("TARVANE_PG_PORT"));
            db.setUserName(qEnvironmentVariable("TARVANE_PG_SUPERUSER"));
            db.setDatabaseName(QStringLiteral("postgres"));
            if (!db.open())
                throw std::runtime_error(db.lastError().text().toStdString());
            Sql::execDirect(db, sql);
        }
        QSqlDatabase::removeDatabase(name);
    }

    QString m_name;
};

struct Options {
    bool quick = false;
    bool postgres = false;
    QStringList only; // case names to run; empty: all
};

int usage()
{
    std::fputs("usage: tarvane-bench [--quick] [--pg]\n"
               "  --quick  fewer repeats, no ten-fold hotel (about a minute)\n"
               "  --pg     also the server cases (needs TARVANE_PG_*, see scripts/pg-server)\n"
               "  --only a,b  only these cases (for profiling one of them)\n",
        stderr);
    return 2;
}

int run(const Options &options)
{
    const Repeats repeats = options.quick ? Repeats::quick() : Repeats();
    const DeskRepeats desk = options.quick ? DeskRepeats::quick() : DeskRepeats();
    QTemporaryDir work(QDir::temp().filePath(QStringLiteral("tarvane-bench-XXXXXX")));
    if (!work.isValid())
        throw std::runtime_error("no temporary folder");
    const QString config = QDir(work.path()).filePath(QStringLiteral("config"));
    QDir().mkpath(config);
    Paths::setConfigDir(config);
    // The simulator rewrites its state file on every card it writes; a real
    // encoder keeps its state on the device. On a memory file system that
    // file costs what the device's own latency would not show here anyway.
    std::unique_ptr<QTemporaryDir> memoryDir;
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        memoryDir = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/tarvane-bench-XXXXXX"));
    const QString stateDir = memoryDir && memoryDir->isValid() ? memoryDir->path() : config;
    qputenv("HOTELLOCK_STATE", QDir(stateDir).filePath(QStringLiteral("hotellock.state")).toLocal8Bit());

    SystemSettings = TSystemSettings();
    SystemSettings.Staffer = QStringLiteral("admin");
    SystemSettings.StafferName = QStringLiteral("系统管理员");
    SystemSettings.LanguageID = 2052;
    SystemSettings.Recycle = 24;
    SystemSettings.DayCount = 1;
    SystemSettings.LeaveTime = QTime(12, 0);
    Clock::set(hotelNow());
    AnsweringPrompts answers;
    setPrompts(&answers);
    prepareEncoder();

    std::vector<CaseResult> results;
    auto record = [&](CaseResult result) {
        std::printf("%s\n", resultLine(result).toUtf8().constData());
        std::fflush(stdout);
        results.push_back(std::move(result));
    };

    Tdm dataModule;
    auto wanted = [&](const QString &name) { return options.only.isEmpty() || options.only.contains(name); };
    // The hotel being measured. Between cases it gets the checkpoint the desk's
    // timer gives it while idle, so that no case reads through the log of
    // the writes before it.
    QSqlDatabase measured;
    auto measure = [&](const QString &name, const std::function<CaseResult()> &runCase) {
        if (!wanted(name))
            return;
        checkpointWhileIdle(measured);
        record(runCase());
    };
    std::vector<CaseResult> growth;
    {
        OpenHotel hotel = makeSqliteHotel(work.path(), 1, QString::fromLatin1(Tdm::ConnectionName));
        measured = hotel.db;
        const HotelSize &size = hotel.size;
        const int building = size.buildings / 2 + 1;
        const int floor = HotelSize::FirstFloor + size.floors / 2;
        measure(QStringLiteral("board"),
            [&] { return boardCase(hotel, QStringLiteral("board"), std::nullopt, std::nullopt, repeats.board); });
        measure(QStringLiteral("board_filter"),
            [&] { return boardCase(hotel, QStringLiteral("board_filter"), building, floor, repeats.board); });
        measure(QStringLiteral("board_view"), [&] { return boardViewCase(repeats.boardView); });
        measure(QStringLiteral("lookup"), [&] { return lookupCase(hotel, QStringLiteral("lookup"), repeats.lookup); });
        measure(QStringLiteral("cardissue"),
            [&] { return cardIssueCase(hotel, QStringLiteral("cardissue"), repeats.cardIssue); });
        measure(QStringLiteral("journal_lookup"),
            [&] { return journalLookupCase(hotel, QStringLiteral("journal_lookup"), repeats.journalLookup); });
        measure(QStringLiteral("override"),
            [&] { return overrideCase(hotel, QStringLiteral("override"), repeats.override); });
        measure(QStringLiteral("picker"),
            [&] { return pickerCase(hotel, QStringLiteral("picker"), building, floor, false, desk.picker); });
        measure(QStringLiteral("picker_occupied"), [&] {
            return pickerCase(hotel, QStringLiteral("picker_occupied"), building, std::nullopt, true, desk.picker);
        });
        measure(QStringLiteral("checkin"), [&] { return checkInCase(hotel, QStringLiteral("checkin"), desk.checkIn); });
        measure(QStringLiteral("journal"), [&] { return journalCase(hotel, QStringLiteral("journal"), desk.journal); });
        measure(QStringLiteral("journal_prune"),
            [&] { return pruneCase(hotel, QStringLiteral("journal_prune"), work.path(), desk.prune); });
        measure(QStringLiteral("collect"),
            [&] { return collectCase(hotel, QStringLiteral("collect"), 10000, desk.collect); });
        for (const CaseResult &r : results) {
            if (r.name == QLatin1String("board") || r.name == QLatin1String("cardissue")
                || r.name == QLatin1String("journal_lookup") || r.name == QLatin1String("checkin")
                || r.name == QLatin1String("journal")) {
                CaseResult copy = r;
                copy.name += hotel.label;
                growth.push_back(copy);
            }
        }
        measure(QStringLiteral("startup"),
            [&] { return startupCase(hotel.db.databaseName(), work.path(), repeats.startup); });
        measured = QSqlDatabase();
        closeHotel(hotel);
    }

    std::vector<double> scales { 0.1 };
    if (!options.quick)
        scales.push_back(10);
    for (double scale : scales) {
        if (!wanted(QStringLiteral("growth")))
            break;
        OpenHotel hotel = makeSqliteHotel(work.path(), scale, QStringLiteral("growth"));
        const int factor = scale < 1 ? 1 : int(scale);
        auto grown = [&](CaseResult result) {
            growth.push_back(std::move(result));
            checkpointWhileIdle(hotel.db);
        };
        grown(boardCase(hotel, QStringLiteral("board") + hotel.label, std::nullopt, std::nullopt,
            std::max(3, repeats.board / factor)));
        grown(cardIssueCase(hotel, QStringLiteral("cardissue") + hotel.label, repeats.cardIssue));
        grown(journalLookupCase(hotel, QStringLiteral("journal_lookup") + hotel.label, repeats.journalLookup));
        grown(checkInCase(hotel, QStringLiteral("checkin") + hotel.label, desk.checkIn));
        grown(journalCase(hotel, QStringLiteral("journal") + hotel.label, desk.journal));
        closeHotel(hotel);
    }
    if (wanted(QStringLiteral("growth"))) {
        std::sort(
            growth.begin(), growth.end(), [](const CaseResult &a, const CaseResult &b) { return a.name < b.name; });
        for (CaseResult &r : growth)
            record(r);
    }

    if (options.postgres) {
        const double scale = options.quick ? 0.1 : 1;
        SystemSettings.ConnType = 1;
        ServerHotel server(scale);
        OpenHotel &hotel = server.hotel;
        measured = hotel.db;
        const QString suffix = scale == 1 ? QString() : hotel.label;
        const int building = hotel.size.buildings / 2 + 1;
        const int floor = HotelSize::FirstFloor + hotel.size.floors / 2;
        measure(QStringLiteral("pg_board"), [&] {
            return boardCase(hotel, QStringLiteral("pg_board") + suffix, std::nullopt, std::nullopt, repeats.board);
        });
        measure(QStringLiteral("pg_board_filter"), [&] {
            return boardCase(hotel, QStringLiteral("pg_board_filter") + suffix, building, floor, repeats.board);
        });
        measure(QStringLiteral("pg_lookup"),
            [&] { return lookupCase(hotel, QStringLiteral("pg_lookup") + suffix, repeats.lookup / 4); });
        measure(QStringLiteral("pg_cardissue"),
            [&] { return cardIssueCase(hotel, QStringLiteral("pg_cardissue") + suffix, repeats.cardIssue / 4); });
        measure(QStringLiteral("pg_journal_lookup"), [&] {
            return journalLookupCase(hotel, QStringLiteral("pg_journal_lookup") + suffix, repeats.journalLookup / 4);
        });
        measure(QStringLiteral("pg_checkin"),
            [&] { return checkInCase(hotel, QStringLiteral("pg_checkin") + suffix, desk.checkIn / 4); });
        measure(QStringLiteral("pg_journal"),
            [&] { return journalCase(hotel, QStringLiteral("pg_journal") + suffix, desk.journal); });
        SystemSettings.ConnType = 0;
        measured = QSqlDatabase();
    }

    setPrompts(nullptr);
    std::printf("\n%s", resultTable(results).toUtf8().constData());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--startup-child") == 0)
            return runStartupChild(argc, argv);
        if (std::strcmp(argv[i], "--quick") == 0)
            options.quick = true;
        else if (std::strcmp(argv[i], "--pg") == 0)
            options.postgres = true;
        else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc)
            options.only = QString::fromLocal8Bit(argv[++i]).split(QLatin1Char(','));
        else
            return usage();
    }
    if (options.postgres && qEnvironmentVariableIsEmpty("TARVANE_PG_HOST")) {
        std::fputs("--pg needs a server: run through scripts/bench --pg, which starts one\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TarvaneApplication app(argc, argv);
    if (sodium_init() < 0)
        return 1;
    installTranslationHooks();
    try {
        return run(options);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "tarvane-bench: %s\n", error.what());
        return 1;
    }
}
