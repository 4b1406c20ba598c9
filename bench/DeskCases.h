#pragma once

#include "Cases.h"

#include <QDate>

// Cases of the front desk and the card windows: the program's function and,
// on SQLite, the same statements through the raw connection.

// Repeats of these cases for a quick and a full run.
struct DeskRepeats {
    int checkIn = 500;
    int picker = 200;
    int journal = 10;
    int prune = 3;
    int collect = 3;
    static DeskRepeats quick();
};

// One guest check-in with the loss report applied: the room look-ups, the
// supersession of the room's overlapping stays, the counter read under the
// write lock, the card written on the encoder simulator, counter advance,
// journal row and stay row, committed. Reports check-ins per second.
CaseResult checkInCase(OpenHotel &hotel, const QString &name, int repeats);

// The raw path's check-in of one room with these card times: the same
// statements issueCheckInCard sends, without the encoder. Exposed so that a
// check can compare what it writes with what the program writes.
void rawCheckIn(RawSqlite &raw, const QString &roomStr, const QDateTime &start, const QDateTime &end,
    const QString &guestName, const QString &guestId, const QString &explanation);

// The room picker's list: free rooms of one building and floor; occupied
// rooms of one building.
CaseResult pickerCase(
    OpenHotel &hotel, const QString &name, int building, std::optional<int> floor, bool occupied, int repeats);

// The journal browser's search: the count and every row of a week of one
// card type, read as the grid reads them.
CaseResult journalCase(OpenHotel &hotel, const QString &name, int repeats);

// The journal prune deleting the oldest 100,000 rows (all of them in a
// smaller journal), each run on a fresh copy of the hotel file.
CaseResult pruneCase(OpenHotel &hotel, const QString &name, const QString &workDir, int repeats);

// 10,000 door-opening records read from a data card on the simulator and
// stored in one transaction.
CaseResult collectCase(OpenHotel &hotel, const QString &name, int records, int repeats);
