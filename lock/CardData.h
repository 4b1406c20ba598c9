#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The card data record the encoder reads and writes: 63 words, slots in
// memory order. Every slot starts zeroed; a window fills what its card needs.
struct TCardData {
    int16_t CardNo[9] = {}; // first four: card number
    int16_t Aux1[5] = {}; // neither read nor set
    int16_t Building = 0;
    int16_t Room[7] = {}; // room block: room number, building, floor, 4 x 0
    int16_t Floor[9] = {}; // first: floor
    int16_t District[5] = {}; // first: district
    int16_t CardType[9] = {}; // first: card type
    int16_t Override = 0; // 0: cancels the room's earlier cards; 1: not
    int16_t Aux2[5] = {}; // neither read nor set
    int16_t StartTime[6] = {}; // card time
    int16_t EndTime[6] = {};

    int16_t *words() { return CardNo; }
    const int16_t *words() const { return CardNo; }
};

static_assert(sizeof(TCardData) == 126);
static_assert(offsetof(TCardData, CardNo) == 0);
static_assert(offsetof(TCardData, Aux1) == 18);
static_assert(offsetof(TCardData, Building) == 28);
static_assert(offsetof(TCardData, Room) == 30);
static_assert(offsetof(TCardData, Floor) == 44);
static_assert(offsetof(TCardData, District) == 62);
static_assert(offsetof(TCardData, CardType) == 72);
static_assert(offsetof(TCardData, Override) == 90);
static_assert(offsetof(TCardData, Aux2) == 92);
static_assert(offsetof(TCardData, StartTime) == 102);
static_assert(offsetof(TCardData, EndTime) == 114);

// The card number the system writes: five words (count mod 256, count div 256, 0, 0, 0).
using CardNumber = std::array<int16_t, 5>;
// Room number on the floor, building, floor, then four words of 0.
using RoomBlock = std::array<int16_t, 7>;
// Year, month, day, hour, minute, second (always written as 0, ignored when read).
using CardTime = std::array<int16_t, 6>;

// Card type a blank card reports.
inline constexpr int16_t BlankCardType = 20;
inline constexpr int16_t GuestCardType = 4;
