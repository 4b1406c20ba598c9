#pragma once

// Helpers of the lock library's tests: the encoder simulator's controls,
// resolved from the very file the program's loader loads, and a few rows.
#include "CardData.h"
#include "HotelLock.h"
#include "Sql.h"

#include <QLibrary>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QtTest>

#include <stdexcept>

class Simulator {
public:
    explicit Simulator(const QString &libraryPath)
        : m_library(libraryPath)
    {
        if (!m_library.load())
            throw std::runtime_error(m_library.errorString().toStdString());
        Reset = resolve<decltype(&HLSim_Reset)>("HLSim_Reset");
        SetConnected = resolve<decltype(&HLSim_SetConnected)>("HLSim_SetConnected");
        SetDeviceType = resolve<decltype(&HLSim_SetDeviceType)>("HLSim_SetDeviceType");
        PutBlankCard = resolve<decltype(&HLSim_PutBlankCard)>("HLSim_PutBlankCard");
        PutCard = resolve<decltype(&HLSim_PutCard)>("HLSim_PutCard");
        TakeCard = resolve<decltype(&HLSim_TakeCard)>("HLSim_TakeCard");
        GetCard = resolve<decltype(&HLSim_GetCard)>("HLSim_GetCard");
        FailNext = resolve<decltype(&HLSim_FailNext)>("HLSim_FailNext");
        CallLog = resolve<decltype(&HLSim_CallLog)>("HLSim_CallLog");
        ClearCallLog = resolve<decltype(&HLSim_ClearCallLog)>("HLSim_ClearCallLog");
        SetSystemPassword = resolve<decltype(&HLSim_SetSystemPassword)>("HLSim_SetSystemPassword");
        PutDataCard = resolve<decltype(&HLSim_PutDataCard)>("HLSim_PutDataCard");
        AttachCollector = resolve<decltype(&HLSim_AttachCollector)>("HLSim_AttachCollector");
    }

    // The encoder calls this process made since the log was cleared.
    QStringList calls() const
    {
        QByteArray buffer(CallLog(nullptr, 0) + 1, '\0');
        CallLog(buffer.data(), buffer.size());
        return QString::fromUtf8(buffer.constData()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    TCardData card() const
    {
        TCardData data;
        if (!GetCard(data.words()))
            throw std::runtime_error("no card on the encoder");
        return data;
    }

    decltype(&HLSim_Reset) Reset = nullptr;
    decltype(&HLSim_SetConnected) SetConnected = nullptr;
    decltype(&HLSim_SetDeviceType) SetDeviceType = nullptr;
    decltype(&HLSim_PutBlankCard) PutBlankCard = nullptr;
    decltype(&HLSim_PutCard) PutCard = nullptr;
    decltype(&HLSim_TakeCard) TakeCard = nullptr;
    decltype(&HLSim_GetCard) GetCard = nullptr;
    decltype(&HLSim_FailNext) FailNext = nullptr;
    decltype(&HLSim_CallLog) CallLog = nullptr;
    decltype(&HLSim_ClearCallLog) ClearCallLog = nullptr;
    decltype(&HLSim_SetSystemPassword) SetSystemPassword = nullptr;
    decltype(&HLSim_PutDataCard) PutDataCard = nullptr;
    decltype(&HLSim_AttachCollector) AttachCollector = nullptr;

    // The type of the card on the encoder; -1 without a card.
    int cardType() const
    {
        TCardData data;
        return GetCard(data.words()) ? data.CardType[0] : -1;
    }

private:
    template <typename Fn> Fn resolve(const char *name)
    {
        const auto fn = reinterpret_cast<Fn>(m_library.resolve(name));
        if (!fn)
            throw std::runtime_error(std::string("simulator lacks ") + name);
        return fn;
    }

    QLibrary m_library;
};

inline void addRoom(const QSqlDatabase &db, const QString &roomStr, int room, const QString &systemRoomStr,
    int building, int floor, int roomNumber, int cardSn = 0)
{
    Sql::exec(db,
        QStringLiteral("INSERT INTO RoomInfo (Room, RoomStr, SystemRoomStr, Buiding, Floor, RoomNumber, "
                       "RoomState, CardSn) VALUES (?, ?, ?, ?, ?, ?, 0, ?)"),
        { room, roomStr, systemRoomStr, building, floor, roomNumber, cardSn });
}

inline QVariant scalar(const QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query = Sql::exec(db, sql, values);
    return query.next() ? query.value(0) : QVariant();
}

// A record as the front desk fills it before writing: number, room block, times.
inline TCardData guestCard(const CardNumber &number, int building, int floor, int roomNumber)
{
    TCardData card;
    std::copy(number.begin(), number.end(), card.CardNo);
    card.Building = int16_t(building);
    card.Room[0] = int16_t(roomNumber);
    card.Room[1] = int16_t(building);
    card.Room[2] = int16_t(floor);
    card.Floor[0] = int16_t(floor);
    card.CardType[0] = GuestCardType;
    const int16_t start[6] = { 2024, 3, 5, 12, 0, 0 };
    const int16_t end[6] = { 2024, 3, 6, 12, 0, 0 };
    std::copy(start, start + 6, card.StartTime);
    std::copy(end, end + 6, card.EndTime);
    return card;
}
