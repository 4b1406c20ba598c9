#pragma once

#include "HotelGenerator.h"
#include "Measure.h"
#include "Prompts.h"
#include "RawSqlite.h"

#include <QSqlDatabase>
#include <QString>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

// A generated hotel opened twice: the program's connection (configured as the
// program configures its own) and, on SQLite, the raw baseline connection.
struct OpenHotel {
    HotelSize size;
    QSqlDatabase db;
    std::unique_ptr<RawSqlite> raw; // none on the server
    QString label; // "", "@0.1x", "pg_" ...
};

// The program's connection on an SQLite file, configured as the program
// configures its own. Throws std::runtime_error.
QSqlDatabase openProgramConnection(const QString &path, const QString &connectionName);
// Resets the encoder simulator beside the program and puts a blank card on it;
// after that each guest card written lies there and the next issue clears it,
// as at a desk. Throws std::runtime_error without the simulator.
void prepareEncoder();

// After a case's timed runs: one more operation with the statements it sends
// to the server counted (nothing on the embedded file).
void countRoundTrips(OpenHotel &hotel, CaseResult &result, const std::function<void()> &operation);

// Answers every question with Cancel where it may, OK elsewhere; other
// boxes (errors above all) are echoed so that a broken case shows why.
class AnsweringPrompts : public Prompts {
public:
    QMessageBox::StandardButton message(QWidget *, QMessageBox::Icon, const QString &title, const QString &text,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton) override
    {
        if (buttons.testFlag(QMessageBox::Cancel))
            return QMessageBox::Cancel;
        std::fprintf(stderr, "message box: %s: %s\n", title.toUtf8().constData(), text.toUtf8().constData());
        return QMessageBox::Ok;
    }
    std::optional<QString> inputText(QWidget *, const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
};

// Repeats per case: a quick run and a full run differ only in these.
struct Repeats {
    int board = 50;
    int boardView = 20;
    int lookup = 2000;
    int cardIssue = 1000;
    int journalLookup = 2000;
    int override = 200;
    int startup = 10;
    static Repeats quick();
};

// Each case runs the program's own functions on hotel.db and, where the hotel
// has a raw connection, the same statements through it; on the server it also
// counts the statements one operation sends.
CaseResult boardCase(
    OpenHotel &hotel, const QString &name, std::optional<int> building, std::optional<int> floor, int repeats);
// The board rebuild of the real main window, shown offscreen, until painted.
// Needs the data module's connection on the hotel.
CaseResult boardViewCase(int repeats);
// The room identifier look-ups of one card: exists, block, counter, RoomStr, SystemRoomStr.
CaseResult lookupCase(OpenHotel &hotel, const QString &name, int repeats);
// The lock library's share of a guest check-in: room look-ups, counter read
// under the write lock, the card written on the encoder simulator, counter
// advance, journal row, commit.
CaseResult cardIssueCase(OpenHotel &hotel, const QString &name, int repeats);
// Holder and maker of a card from the journal, as door-record collection asks per record.
CaseResult journalLookupCase(OpenHotel &hotel, const QString &name, int repeats);
// The live stays of a cancelled card found and the question asked (answered Cancel).
CaseResult overrideCase(OpenHotel &hotel, const QString &name, int repeats);
// Process start to the login window painted, in a process of its own.
CaseResult startupCase(const QString &databasePath, const QString &workDir, int repeats);

// The child side of startupCase: the program's start-up up to the login
// window; prints "painted" once it has been painted, then ends.
int runStartupChild(int argc, char **argv);
