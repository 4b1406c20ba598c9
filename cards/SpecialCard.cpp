#include "SpecialCard.h"

#include "CardIssue.h"
#include "Identifiers.h"
#include "Operators.h"

#include <stdexcept>

namespace {
using Choice = SpecialCardKind::Choice;
using Fn = Encoder::MakeFunction;

// The counter code and the journal type of a kind are two numbers on purpose.
constexpr std::array<SpecialCardKind, SpecialCardKindCount> kinds { {
    { 0, "Time", "校时卡", 2, Fn::Time, 2, "TimeCard", Choice::None },
    { 1, "Data", "采集启动卡", 13, Fn::Data, 14, "DataCard", Choice::None },
    { 2, "Chief", "总控卡", 5, Fn::Chief, 10, "MasterCard", Choice::None },
    { 3, "District", "区域卡", 9, Fn::CleanDistrict, 6, "DistrictCard", Choice::District },
    { 4, "Building", "楼号卡", 6, Fn::Building, 8, "BuildingCard", Choice::Building },
    { 5, "Floor", "楼层卡", 7, Fn::Floor, 5, "FloorCard", Choice::BuildingAndFloor },
    { 6, "LongOpen", "清除卡", 1, Fn::Client, 1, "ClearCard", Choice::None },
    { 7, "Emergent", "应急卡", 4, Fn::Emergent, 3, "EmergentCard", Choice::None },
    { 8, "Lost", "终止卡", 3, Fn::Lost, 12, "LostCard", Choice::None },
} };
} // namespace

const std::array<SpecialCardKind, SpecialCardKindCount> &specialCardKinds()
{
    return kinds;
}

const SpecialCardKind &specialCardKind(int page)
{
    if (page < 0 || page >= SpecialCardKindCount)
        throw std::out_of_range("no special card on that page");
    return kinds[size_t(page)];
}

std::optional<bool> operatorMayMake(int page, const QString &login, const QSqlDatabase &db)
{
    const std::optional<OperatorRow> row = findOperator(db, login);
    if (!row)
        return std::nullopt;
    return row->right(QString::fromLatin1(specialCardKind(page).rightColumn));
}

QDateTime specialCardTime(const QDate &date, const QTime &timeOfDay, int toleranceMinutes)
{
    return QDateTime(date, timeOfDay).addSecs(qint64(toleranceMinutes) * 60);
}

QString missingChoiceMessage(int page, bool buildingChosen, bool floorChosen, bool districtChosen)
{
    switch (specialCardKind(page).choice) {
    case Choice::BuildingAndFloor:
        if (!buildingChosen)
            return QString::fromUtf8("请选择楼号!");
        if (!floorChosen)
            return QString::fromUtf8("请选择楼层!");
        return {};
    case Choice::Building:
        return buildingChosen ? QString() : QString::fromUtf8("请选择楼号!");
    case Choice::District:
        return districtChosen ? QString() : QString::fromUtf8("请选择区域!");
    case Choice::None:
        break;
    }
    return {};
}

int16_t issueSpecialCard(const SpecialCardRequest &request, const QSqlDatabase &db)
{
    const SpecialCardKind &kind = specialCardKind(request.page);

    TCardData card;
    DateTimeToCardTime(request.start, card.StartTime);
    DateTimeToCardTime(request.end, card.EndTime);
    card.Override = request.applyLossReport ? 0 : 1;
    int16_t chosen = 0; // what the journal keeps in its floor, building or district column
    switch (kind.choice) {
    case Choice::BuildingAndFloor:
        card.Building = request.building;
        card.Floor[0] = request.floor;
        chosen = request.floor;
        break;
    case Choice::Building:
        card.Building = request.building;
        chosen = request.building;
        break;
    case Choice::District:
        card.District[0] = request.district;
        chosen = request.district;
        break;
    case Choice::None:
        break;
    }

    auto issue = CardIssue::forCounter(kind.counterCode, db);
    issue.fillCardNo(card);
    const int16_t result = Encoder::makeCard(kind.function, card);
    if (result != Encoder::Success)
        return result;
    card.CardType[0] = kind.journalType;
    card.Room[0] = chosen;
    issue.recordCard(card, request.holder, QString());
    issue.commit();
    return result;
}
