#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

// The room board's data: one item per row of the board statement, in
// building, floor and room order, with the picture the room gets.
struct BoardItem {
    QString roomStr;
    int imageIndex = 0;
};

struct BoardFilter {
    std::optional<int> building;
    std::optional<int> floor;
};

// Picture of a room: 0 free, 1 free in state 1, 2 occupied, 3 occupied in
// state 1; any other state shows 0.
int boardImageIndex(int roomStateId, bool hasLiveStay);

// The board statement with the filter's lines; the filter values are bound
// (building first), never spliced.
QString boardStatement(const BoardFilter &filter);

// Reads the board. Throws DbError.
QList<BoardItem> readBoard(const QSqlDatabase &db, const BoardFilter &filter);
