#pragma once

#include "DataModule.h"
#include "Encoder.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QTime>

#include <array>
#include <cstdint>
#include <optional>

// The nine special cards the locks understand besides guest cards, in the
// order of the special-card window's pages.
struct SpecialCardKind {
    enum class Choice { None, BuildingAndFloor, Building, District };

    int page;
    const char *suffix; // names the page's controls: E_H_<suffix>, CB_eO_<suffix>, ...
    const char *caption; // the page's tab
    int counterCode; // AllCardSn.CardType that numbers the card
    Encoder::MakeFunction function;
    int16_t journalType; // CardType of the journal row (not the counter code)
    const char *rightColumn; // Operator column that allows the page
    Choice choice;
};

inline constexpr int SpecialCardKindCount = 9;
const std::array<SpecialCardKind, SpecialCardKindCount> &specialCardKinds();
// The kind of a page, 0 to 8; throws std::out_of_range beyond.
const SpecialCardKind &specialCardKind(int page);
inline constexpr int TimeCardPage = 0;
inline constexpr int FloorCardPage = 5;

// The operator's right for a page, looked up by login without regard to case;
// no value when the operator has no row (the program must end then).
std::optional<bool> operatorMayMake(int page, const QString &login, const QSqlDatabase &db = dm().conn());

// Card times of every kind but the time card: the picked date and time of day,
// moved later by the tolerance in minutes.
QDateTime specialCardTime(const QDate &date, const QTime &timeOfDay, int toleranceMinutes);

// What a page hands over once its choices are checked.
struct SpecialCardRequest {
    int page = FloorCardPage;
    QDateTime start;
    QDateTime end;
    bool applyLossReport = false; // "应用挂失" ticked: Override 0
    int16_t building = 0; // building card, floor card
    int16_t floor = 0; // floor card
    int16_t district = 0; // district card
    QString holder;
};

// The message for a choice left empty ("" when every choice of the kind is made).
QString missingChoiceMessage(int page, bool buildingChosen, bool floorChosen, bool districtChosen);

// Writes the card of a prepared encoder: numbers it from the kind's counter
// under the card issue's lock, calls the kind's encoder function and, when it
// returns 1, advances the counter and journals the card in the same
// transaction. Returns the encoder's result; any other result than 1 writes
// nothing. Throws DbError (everything rolled back, the card stays written).
[[nodiscard]] int16_t issueSpecialCard(const SpecialCardRequest &request, const QSqlDatabase &db = dm().conn());
