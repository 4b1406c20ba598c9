/* Card encoder library: the C entry points the desk program calls, and the
 * HLSim_ controls the simulator adds for tests and the lockctl command.
 *
 * Words are int16_t; an address is a native pointer to words; a value argument
 * is int32_t with the word in its low half; every encoder call returns a
 * signed 16-bit code: 1 success, -1 no card, -2 no encoder, -14 encoder of
 * another installation, -15 failure. No C++ exception crosses this boundary.
 *
 * Buffer sizes in words are given by each parameter's name (out9 = 9 words).
 */
#ifndef HOTELLOCK_H
#define HOTELLOCK_H

#include <stdint.h>

#if defined(HOTELLOCK_BUILDING)
#define HOTELLOCK_API __attribute__((visibility("default")))
#else
#define HOTELLOCK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Card data record: 63 words, slots in memory order (word offsets). */
enum {
    HL_CARDNO_OFFSET = 0, /* 9 words, first four: card number */
    HL_AUX1_OFFSET = 9, /* 5 words */
    HL_BUILDING_OFFSET = 14, /* 1 word */
    HL_ROOM_OFFSET = 15, /* 7 words: room, building, floor, 4 x 0 */
    HL_FLOOR_OFFSET = 22, /* 9 words, first: floor */
    HL_DISTRICT_OFFSET = 31, /* 5 words, first: district */
    HL_CARDTYPE_OFFSET = 36, /* 9 words, first: card type */
    HL_OVERRIDE_OFFSET = 45, /* 1 word */
    HL_AUX2_OFFSET = 46, /* 5 words */
    HL_STARTTIME_OFFSET = 51, /* 6 words: year, month, day, hour, minute, second */
    HL_ENDTIME_OFFSET = 57, /* 6 words */
    HL_CARD_WORDS = 63
};

/* Card type 20: a blank card. */
enum { HL_BLANK_CARD_TYPE = 20 };

/* ---- Encoder calls ---------------------------------------------------- */

HOTELLOCK_API int16_t MakeCardOpenPort(int32_t port);
HOTELLOCK_API int16_t GetParameter(int16_t *out9);
HOTELLOCK_API int16_t Detect_EncoderA(int16_t *out9);
HOTELLOCK_API int16_t SystemInitialization(int16_t *password4);
HOTELLOCK_API int16_t ReadSystemPas(int16_t *out33);
HOTELLOCK_API int16_t ClearCardData(int16_t *cardNo9);
HOTELLOCK_API int16_t ReadDataCard(int16_t *data9);
HOTELLOCK_API int16_t ReadOneOpenDoorRecord(int16_t *building1, int16_t *floor1, int16_t *unused1, int16_t *unused2,
    int16_t *room7, int16_t *cardType1, int16_t *time6, int16_t *data9);

HOTELLOCK_API int16_t ReadCard(int16_t *cardNo9, int16_t *aux1_5, int16_t *building1, int16_t *floor9,
    int16_t *district5, int16_t *room7, int16_t *override1, int16_t *cardType9, int16_t *aux2_5, int16_t *start6,
    int16_t *end6);

/* The ten card writers: ReadCard's slots in the same call order, with the
 * building and override words passed as values. Each writes its own card
 * type whatever cardType9 holds: Guest 4, Time 2, Data 14, Chief 10,
 * CleanDistrict 6, Building 8, Floor 5, Client 1, Emergent 3, Lost 12. */
#define HOTELLOCK_MAKE_CARD(name)                                                                                      \
    HOTELLOCK_API int16_t name(int16_t *cardNo9, int16_t *aux1_5, int32_t building, int16_t *floor9,                   \
        int16_t *district5, int16_t *room7, int32_t override, int16_t *cardType9, int16_t *aux2_5, int16_t *start6,    \
        int16_t *end6)
HOTELLOCK_MAKE_CARD(MakeGuestCard);
HOTELLOCK_MAKE_CARD(MakeTimeCard);
HOTELLOCK_MAKE_CARD(MakeDataCard);
HOTELLOCK_MAKE_CARD(MakeChiefCard);
HOTELLOCK_MAKE_CARD(MakeCleanDistrictCard);
HOTELLOCK_MAKE_CARD(MakeBuildingCard);
HOTELLOCK_MAKE_CARD(MakeFloorCard);
HOTELLOCK_MAKE_CARD(MakeClientCard);
HOTELLOCK_MAKE_CARD(MakeEmergentCard);
HOTELLOCK_MAKE_CARD(MakeLostCard);
#undef HOTELLOCK_MAKE_CARD

/* ---- Simulator controls ------------------------------------------------
 * Each returns 1 when done unless told otherwise. Strings are NUL-terminated
 * UTF-8. The state lives in a file shared by every process: the path given to
 * HLSim_SetStateFile, else $HOTELLOCK_STATE, else hotellock.state in
 * $XDG_CONFIG_HOME (default ~/.config). */

typedef struct {
    int16_t building, floor, room, cardType, time[6], cardNo[4];
} HLSim_DoorRecord;

typedef struct {
    int32_t connected;
    int32_t deviceType;
    int16_t password[4];
    int32_t card; /* 0 none, 1 blank, 2 written */
    int32_t doorRecords; /* door records on the card lying on the encoder */
    int32_t collectorAttached;
    int32_t collectorRecords;
    int32_t failPending;
    int32_t failCode;
    char failFunction[64]; /* "" = any function */
} HLSim_Status;

HOTELLOCK_API int HLSim_SetStateFile(const char *path); /* NULL or "" = default again */
HOTELLOCK_API int HLSim_Reset(void); /* fresh: connected, device 2, password 12 34 56 78 hex, no card */
HOTELLOCK_API int HLSim_SetConnected(int connected);
HOTELLOCK_API int HLSim_SetDeviceType(int deviceType);
HOTELLOCK_API int HLSim_SetSystemPassword(const int16_t w[4]);
HOTELLOCK_API int HLSim_PutBlankCard(void);
HOTELLOCK_API int HLSim_PutCard(const int16_t card[63]); /* card type 20 puts a blank card */
HOTELLOCK_API int HLSim_TakeCard(void);
HOTELLOCK_API int HLSim_GetCard(int16_t card[63]); /* 0: no card; all stored words */
/* A data card (type 14, number 0) carrying n door records. */
HOTELLOCK_API int HLSim_PutDataCard(const HLSim_DoorRecord *records, int n);
HOTELLOCK_API int HLSim_AttachCollector(const HLSim_DoorRecord *records, int n);
HOTELLOCK_API int HLSim_DetachCollector(void);
/* The next call of that encoder function (NULL or "any": of any) returns code
 * and touches nothing; one-shot, kept in the state file. */
HOTELLOCK_API int HLSim_FailNext(const char *function, int code);
HOTELLOCK_API int HLSim_GetStatus(HLSim_Status *status);
/* Copy up to max records; return how many there are (collector: -1 when none attached). */
HOTELLOCK_API int HLSim_GetDoorRecords(HLSim_DoorRecord *out, int max);
HOTELLOCK_API int HLSim_GetCollectorRecords(HLSim_DoorRecord *out, int max);
/* Names of the encoder calls made by this process, each followed by "\n";
 * copies what fits into buf (NUL-terminated) and returns the bytes needed
 * including the NUL. */
HOTELLOCK_API int HLSim_CallLog(char *buf, int size);
HOTELLOCK_API int HLSim_ClearCallLog(void);

#ifdef __cplusplus
}
#endif

#endif
