#pragma once

#include "DataModule.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

#include <optional>
#include <vector>

// One room of the picker's list, with the live stay that occupies it (stay
// columns empty for a free room).
struct RoomListRow {
    int room = 0;
    QString roomStr;
    int building = 0;
    int floor = 0;
    int district = 0;
    QString roomState;
    QDateTime guestLeaveTime;
    QDateTime leaveTime;
    QString guestName;
    QString guestId;
    QDateTime inputTime;
    QString inputUser;
    QString rom;
    QDateTime guestInTime;

    bool occupied() const { return guestInTime.isValid(); }
};

enum class RoomStatusFilter { Free, All, Occupied };

struct RoomListFilter {
    std::optional<int> building; // none: every building
    std::optional<int> floor; // none: every floor
    RoomStatusFilter status = RoomStatusFilter::All;
};

// The rooms by building, floor and internal number; a room with two live stays is listed twice.
std::vector<RoomListRow> FindRoomList(const RoomListFilter &filter, const QSqlDatabase &db = dm().conn());
