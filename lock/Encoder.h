#pragma once

#include "CardData.h"

#include <QString>

#include <cstdint>

// The card encoder library (libHotelLock.so beside the program), loaded at its
// first use and bound to the program folder it came from. Each call goes to
// the function of that name; when the library is missing every call gives -2,
// when one function is missing that call gives -15. GetParameter and
// Detect_EncoderA then write the same code into word 0, so a caller that reads
// word 0 as the device type never sees a zero-filled buffer as device 0.
// Callers pass zero-filled buffers of the sizes the names give (words).
namespace Encoder {

inline constexpr int16_t Success = 1;
inline constexpr int16_t NoCard = -1;
inline constexpr int16_t NoEncoder = -2;
inline constexpr int16_t ForeignEncoder = -14;
inline constexpr int16_t Failure = -15;

[[nodiscard]] int16_t MakeCardOpenPort(int32_t port);
[[nodiscard]] int16_t GetParameter(int16_t *out9);
[[nodiscard]] int16_t Detect_EncoderA(int16_t *out9);
[[nodiscard]] int16_t SystemInitialization(int16_t *password4);
[[nodiscard]] int16_t ReadSystemPas(int16_t *out33);
[[nodiscard]] int16_t ClearCardData(int16_t *cardNo9);
[[nodiscard]] int16_t ReadDataCard(int16_t *data9);
[[nodiscard]] int16_t ReadOneOpenDoorRecord(int16_t *building1, int16_t *floor1, int16_t *unused1, int16_t *unused2,
    int16_t *room7, int16_t *cardType1, int16_t *time6, int16_t *data9);
[[nodiscard]] int16_t ReadCard(int16_t *cardNo9, int16_t *aux1_5, int16_t *building1, int16_t *floor9,
    int16_t *district5, int16_t *room7, int16_t *override1, int16_t *cardType9, int16_t *aux2_5, int16_t *start6,
    int16_t *end6);
// ReadCard into every slot of a record.
[[nodiscard]] int16_t ReadCard(TCardData &card);

// The ten card writers. Each writes its own card type, whatever the CardType
// slot holds (the names mislead: a "client" card is a clear card).
enum class MakeFunction { Guest, Time, Data, Chief, CleanDistrict, Building, Floor, Client, Emergent, Lost };
inline constexpr MakeFunction AllMakeFunctions[] = {
    MakeFunction::Guest,
    MakeFunction::Time,
    MakeFunction::Data,
    MakeFunction::Chief,
    MakeFunction::CleanDistrict,
    MakeFunction::Building,
    MakeFunction::Floor,
    MakeFunction::Client,
    MakeFunction::Emergent,
    MakeFunction::Lost,
};
// "MakeGuestCard" ... "MakeLostCard".
const char *makeFunctionName(MakeFunction function);
// The card type that function writes: Guest 4, Time 2, Data 14, Chief 10,
// CleanDistrict 6, Building 8, Floor 5, Client 1, Emergent 3, Lost 12.
int16_t cardTypeWrittenBy(MakeFunction function);

// Building and override travel as values; the other slots by address.
[[nodiscard]] int16_t makeCard(MakeFunction function, int16_t *cardNo9, int16_t *aux1_5, int32_t building,
    int16_t *floor9, int16_t *district5, int16_t *room7, int32_t override, int16_t *cardType9, int16_t *aux2_5,
    int16_t *start6, int16_t *end6);
[[nodiscard]] int16_t makeCard(MakeFunction function, TCardData &card);

// The file the loader binds to: libHotelLock.so in the program folder.
QString libraryPath();
// True when the library of the current program folder is loaded.
bool isLoaded();

} // namespace Encoder
