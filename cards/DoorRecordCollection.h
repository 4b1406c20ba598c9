#pragma once

#include "DataModule.h"

#include <QSqlDatabase>

#include <cstdint>

// Reads every door-opening record a data card (or, on proximity-lock
// installations, an infrared data collector) carries, then stores them in
// OpenDoorRecord in one transaction: the first record's room loses its earlier
// records, every record read becomes one row. Database errors throw DbError
// with nothing changed.
struct CollectionResult {
    enum Outcome {
        NoCollector, // device type 3 and no data collector answered
        EncoderFailed, // reading the data card or its first record failed
        Stored,
    };
    Outcome outcome = EncoderFailed;
    int16_t code = 0; // the encoder's result when EncoderFailed
    int records = 0; // rows written when Stored
};

// Device type 3 is the proximity lock system; 11 the infrared data collector.
inline constexpr int16_t ProximityDeviceType = 3;
inline constexpr int16_t DataCollectorDevice = 11;

CollectionResult CollectDoorRecords(const QSqlDatabase &db = dm().conn());
