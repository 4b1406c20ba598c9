#include "CheckIn.h"

#include "CardIssue.h"
#include "CardOperations.h"
#include "Clock.h"
#include "Identifiers.h"
#include "Settings.h"
#include "Sql.h"

#include <QSqlQuery>

#include <algorithm>
#include <limits>

QDateTime stayMoment(const QDate &date, const QTime &time, int toleranceMinutes)
{
    return QDateTime(date, time).addSecs(qint64(toleranceMinutes) * 60);
}

std::optional<int> wholeNumber(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString hoursText(const QDateTime &from, const QDateTime &to)
{
    const double hours = double(from.msecsTo(to)) / 3600000.0;
    return QString::number(hours, 'g', 2);
}

TCardData checkInCard(const CheckInRequest &request, const QSqlDatabase &db)
{
    TCardData card;
    const RoomBlock block = LookupRoomBlock(request.roomStr, db);
    std::copy(block.begin(), block.end(), card.Room);
    card.Building = block[1];
    card.Floor[0] = block[2];
    card.Override = overrideWord(request.applyLossReport);
    DateTimeToCardTime(request.start, card.StartTime);
    DateTimeToCardTime(request.end, card.EndTime);
    card.CardType[0] = 0;
    return card;
}

int SetRoomState(const QString &roomStr, const TCardData &card, int recycleHours, const QSqlDatabase &db)
{
    const QString unit = DatePartToken(DatePart::Hour);
    const QDateTime newStart = CardTimeToDateTime(card.StartTime);
    const QDateTime newEnd = CardTimeToDateTime(card.EndTime);
    const QString sql = QStringList {
        QStringLiteral("Update GuestInRecord Set enOverride=1,LeaveTime=?"),
        QStringLiteral("Where RoomStr=?"),
        QStringLiteral(" And"),
        QStringLiteral("((datediff(") + unit + QStringLiteral(",?,leavetime)>0)"),
        QStringLiteral("or ((leavetime is null)"),
        QStringLiteral("and DateDiff(") + unit + QStringLiteral(",?,guestleavetime)>0))"),
        QStringLiteral("and (DateDiff(") + unit + QStringLiteral(",guestintime,leavetime)>? or leavetime is null)"),
        QStringLiteral("and DateDiff(") + unit + QStringLiteral(",?, guestintime)<0"),
        QStringLiteral("and"),
        QStringLiteral("(enOverride=0 or enOverride is null)"),
    }.join(QLatin1Char('\n'));
    // One statement: it commits on its own, and no other desk sees it half done.
    const QSqlQuery update = Sql::exec(db, sql,
        { Sql::dateTimeValue(Clock::now()), roomStr, Sql::dateTimeValue(newStart), Sql::dateTimeValue(newStart),
            recycleHours, Sql::dateTimeValue(newEnd) });
    return update.numRowsAffected();
}

namespace {

// The stay of a card just written: a new row, or one more card on the room's live stay.
void recordStay(const CheckInRequest &request, const TCardData &written, const QSqlDatabase &db)
{
    QSqlQuery live
        = Sql::exec(db, QStringLiteral("select ID from GuestInRecord\n where\n enOverride=0 And RoomStr=? ORDER BY ID"),
            { request.roomStr });
    if (live.next()) {
        const QVariant id = live.value(0);
        live.finish();
        Sql::exec(db, QStringLiteral("UPDATE GuestInRecord SET CardCounts = COALESCE(CardCounts, 1) + 1 WHERE ID = ?"),
            { id });
        return;
    }
    live.finish();
    const QVariant guestName
        = request.guestName.trimmed().isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(request.guestName);
    // The room's number comes from its row in the same statement.
    Sql::exec(db,
        QStringLiteral("INSERT INTO GuestInRecord (GuestName, GuestID, Room, RoomStr, Rom, GuestInTime, "
                       "GuestLeaveTime, InputUser, MakeName) "
                       "SELECT ?, ?, COALESCE((SELECT Room FROM RoomInfo WHERE RoomStr = ?), 0), ?, ?, ?, ?, ?, ?"),
        { guestName, request.guestId, request.roomStr, request.roomStr, CardNoText(written.CardNo),
            Sql::dateTimeValue(request.start), Sql::dateTimeValue(request.end), SystemSettings.Staffer,
            SystemSettings.StafferName });
}

} // namespace

int16_t issueCheckInCard(const CheckInRequest &request, const QSqlDatabase &db)
{
    TCardData card = checkInCard(request, db);
    if (request.applyLossReport)
        SetRoomState(request.roomStr, card, SystemSettings.Recycle, db);

    auto issue = CardIssue::forRoom(request.roomStr, db);
    issue.fillCardNo(card);
    const int16_t result = WriteGuestCard(card);
    if (result != 1)
        return result;
    card.CardType[0] = GuestCardType;
    issue.recordCard(card, request.guestName, request.explanation);
    recordStay(request, card, db);
    issue.commit();
    return result;
}
