// Fuzz target: the words an encoder hands back, read as a card (number text,
// card times, room block) and as a door-opening record's time.
#include "CardData.h"
#include "Identifiers.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TCardData card;
    std::memcpy(card.words(), data, std::min(size, sizeof(TCardData)));
    const QString number = CardNoText(card.CardNo);
    if (number.size() < 8)
        __builtin_trap();
    for (const int16_t *time : { card.StartTime, card.EndTime }) {
        try {
            const QDateTime when = CardTimeToDateTime(time);
            // A time that reads back writes back to the same date.
            int16_t again[6] = {};
            DateTimeToCardTime(when, again);
            if (std::memcmp(again, time, 3 * sizeof(int16_t)) != 0)
                __builtin_trap();
        } catch (const CardTimeError &) {
        }
    }
    return 0;
}
