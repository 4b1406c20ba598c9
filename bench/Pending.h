#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Cases whose code path other parts of the program are still building. When
// the function a window calls exists, measure it in a runner beside the ones
// in Cases.cpp, add it to main.cpp and take its entry out of this list:
//   checkin  the front desk's check-in: the room look-ups, the loss-report
//            supersession, the card issue, the live-stay search and the stay
//            row, as one committed transaction (throughput, ratio against the
//            same statements raw; round trips on the server);
//   picker   the room picker's list for a building, a floor and free/occupied;
//   journal  the card journal browser's search by day range and card type,
//            and its prune of rows older than two months (100,000 rows);
//   collect  10,000 door-opening records from a data card stored in one
//            transaction (the simulator's HLSim_PutDataCard carries them).
struct PendingCase {
    QString name;
    QString waitsFor;
};

inline std::vector<PendingCase> pendingCases()
{
    return {
        { QStringLiteral("checkin"), QStringLiteral("the front desk's check-in (desk/)") },
        { QStringLiteral("picker"), QStringLiteral("the room picker's query (desk/)") },
        { QStringLiteral("journal"), QStringLiteral("the card journal browser's search and prune (cards/)") },
        { QStringLiteral("collect"), QStringLiteral("door-record collection (cards/)") },
    };
}
