// A desk without windows for the reliability tests: issues guest cards (the
// check-in path) and floor cards (the special-card path) through the same
// functions the windows call, on the encoder simulator of the program folder
// it is given, against an SQLite file or a database on the test server.
//
//   reliability-desk --program DIR (--sqlite FILE | --pg NAME) --name NAME
//                    [--guest N] [--special N] [--rooms 101,102] [--forever]
//
// Prints "ready" once connected and "done <guest> <special> <failures>" at
// the end; with --forever it checks guests in until it is killed.
#include "CardOperations.h"
#include "CheckIn.h"
#include "Clock.h"
#include "Connection.h"
#include "DataModule.h"
#include "DbError.h"
#include "Encoder.h"
#include "HotelLock.h"
#include "Paths.h"
#include "Settings.h"
#include "SpecialCard.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStringList>

#include <cstdio>
#include <exception>

namespace {

QString option(const QStringList &args, const QString &name, const QString &fallback = {})
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

bool openConnection(const QStringList &args)
{
    const QString name = QString::fromLatin1(Tdm::ConnectionName);
    QSqlDatabase db;
    if (args.contains(QStringLiteral("--pg"))) {
        db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(qEnvironmentVariable("TARVANE_PG_HOST"));
        db.setPort(qEnvironmentVariableIntValue("TARVANE_PG_PORT"));
        db.setUserName(qEnvironmentVariable("TARVANE_PG_USER"));
        db.setPassword(qEnvironmentVariable("TARVANE_PG_PASSWORD"));
        db.setDatabaseName(option(args, QStringLiteral("--pg")));
        SystemSettings.ConnType = 1;
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(option(args, QStringLiteral("--sqlite")));
    }
    if (!db.open()) {
        std::fprintf(stderr, "reliability-desk: %s\n", qPrintable(db.lastError().text()));
        return false;
    }
    configureConnection(db);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    Paths::setProgramDir(option(args, QStringLiteral("--program")));
    Tdm dataModule;
    if (!openConnection(args))
        return 2;
    const QString desk = option(args, QStringLiteral("--name"), QStringLiteral("desk"));
    SystemSettings.Staffer = desk;
    SystemSettings.StafferName = desk;
    const QStringList rooms
        = option(args, QStringLiteral("--rooms"), QStringLiteral("101")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    const int guests = option(args, QStringLiteral("--guest"), QStringLiteral("0")).toInt();
    const int specials = option(args, QStringLiteral("--special"), QStringLiteral("0")).toInt();
    const bool forever = args.contains(QStringLiteral("--forever"));

    // A blank card on this desk's encoder; each card written stays on it and
    // is cleared by the next write.
    QLibrary simulator(Encoder::libraryPath());
    const auto putBlank = reinterpret_cast<decltype(&HLSim_PutBlankCard)>(simulator.resolve("HLSim_PutBlankCard"));
    if (!putBlank || Encoder::MakeCardOpenPort(1) != Encoder::Success) {
        std::fprintf(stderr, "reliability-desk: no encoder simulator in %s\n", qPrintable(Paths::programDir()));
        return 2;
    }
    putBlank();
    std::printf("ready\n");
    std::fflush(stdout);

    int issuedGuests = 0;
    int issuedSpecials = 0;
    int failures = 0;
    const auto attempt = [&](auto &&issue) {
        try {
            const int16_t result = issue();
            if (result == Encoder::Success)
                return true;
            std::fprintf(stderr, "reliability-desk: encoder result %d\n", result);
        } catch (const std::exception &e) {
            std::fprintf(stderr, "reliability-desk: %s\n", e.what());
        }
        ++failures;
        return false;
    };
    for (int i = 0; forever || i < guests || i < specials; ++i) {
        if (forever || i < guests) {
            CheckInRequest request;
            request.roomStr = rooms.at(i % rooms.size());
            request.start = Clock::now();
            request.end = request.start.addDays(1);
            request.guestName = desk + QStringLiteral(" guest ") + QString::number(i);
            request.explanation = QStringLiteral("check-in ") + request.roomStr;
            issuedGuests += attempt([&] { return issueCheckInCard(request); }) ? 1 : 0;
        }
        if (!forever && i < specials) {
            SpecialCardRequest request;
            request.page = FloorCardPage;
            request.start = Clock::now();
            request.end = request.start.addDays(30);
            request.building = 1;
            request.floor = int16_t(1 + i % 3);
            request.holder = desk;
            issuedSpecials += attempt([&] {
                const int16_t prepared = PrepareCard();
                return prepared == Encoder::Success ? issueSpecialCard(request) : prepared;
            })
                ? 1
                : 0;
        }
    }
    std::printf("done %d %d %d\n", issuedGuests, issuedSpecials, failures);
    return failures == 0 ? 0 : 1;
}
