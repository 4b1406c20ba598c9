#include "Encoder.h"

#include "HotelLock.h"
#include "Paths.h"

#include <QFileInfo>
#include <QLibrary>
#include <QMutex>
#include <QMutexLocker>

#include <array>
#include <memory>

namespace Encoder {

namespace {

using OpenPortFn = decltype(&::MakeCardOpenPort);
using BufferFn = decltype(&::GetParameter);
using DoorRecordFn = decltype(&::ReadOneOpenDoorRecord);
using ReadCardFn = decltype(&::ReadCard);
using MakeCardFn = decltype(&::MakeGuestCard);

struct MakeEntry {
    const char *name;
    int16_t cardType;
};
// Indexed by MakeFunction.
constexpr std::array<MakeEntry, 10> makeTable = { {
    { "MakeGuestCard", 4 },
    { "MakeTimeCard", 2 },
    { "MakeDataCard", 14 },
    { "MakeChiefCard", 10 },
    { "MakeCleanDistrictCard", 6 },
    { "MakeBuildingCard", 8 },
    { "MakeFloorCard", 5 },
    { "MakeClientCard", 1 },
    { "MakeEmergentCard", 3 },
    { "MakeLostCard", 12 },
} };

struct Table {
    OpenPortFn MakeCardOpenPort = nullptr;
    BufferFn GetParameter = nullptr;
    BufferFn Detect_EncoderA = nullptr;
    BufferFn SystemInitialization = nullptr;
    BufferFn ReadSystemPas = nullptr;
    BufferFn ClearCardData = nullptr;
    BufferFn ReadDataCard = nullptr;
    DoorRecordFn ReadOneOpenDoorRecord = nullptr;
    ReadCardFn ReadCard = nullptr;
    std::array<MakeCardFn, 10> make = {};
};

// The one loader: the library of one program folder and its resolved functions.
class Loader {
public:
    // A copy of the table of the current program folder, (re)loading as needed.
    // A null library means "missing": every call then answers -2.
    bool table(Table &out)
    {
        QMutexLocker lock(&m_mutex);
        const QString path = libraryPath();
        // A library missing at first use is looked for again once the file is there.
        if (path != m_path || (!m_library && QFileInfo::exists(path)))
            load(path);
        out = m_table;
        return m_library != nullptr;
    }

    bool loaded()
    {
        QMutexLocker lock(&m_mutex);
        return m_library && m_path == libraryPath();
    }

private:
    void load(const QString &path)
    {
        if (m_library)
            m_library->unload();
        m_library.reset();
        m_table = {};
        m_path = path;

        auto library = std::make_unique<QLibrary>(path);
        if (!library->load())
            return;
        const auto resolve = [&](const char *name) { return library->resolve(name); };
        m_table.MakeCardOpenPort = reinterpret_cast<OpenPortFn>(resolve("MakeCardOpenPort"));
        m_table.GetParameter = reinterpret_cast<BufferFn>(resolve("GetParameter"));
        m_table.Detect_EncoderA = reinterpret_cast<BufferFn>(resolve("Detect_EncoderA"));
        m_table.SystemInitialization = reinterpret_cast<BufferFn>(resolve("SystemInitialization"));
        m_table.ReadSystemPas = reinterpret_cast<BufferFn>(resolve("ReadSystemPas"));
        m_table.ClearCardData = reinterpret_cast<BufferFn>(resolve("ClearCardData"));
        m_table.ReadDataCard = reinterpret_cast<BufferFn>(resolve("ReadDataCard"));
        m_table.ReadOneOpenDoorRecord = reinterpret_cast<DoorRecordFn>(resolve("ReadOneOpenDoorRecord"));
        m_table.ReadCard = reinterpret_cast<ReadCardFn>(resolve("ReadCard"));
        for (size_t i = 0; i < makeTable.size(); ++i)
            m_table.make[i] = reinterpret_cast<MakeCardFn>(resolve(makeTable[i].name));
        m_library = std::move(library);
    }

    QMutex m_mutex;
    QString m_path;
    std::unique_ptr<QLibrary> m_library;
    Table m_table;
};

Loader &loader()
{
    static Loader instance;
    return instance;
}

// Calls through the table; a missing library gives -2, a missing function -15.
template <typename Member, typename... Args> int16_t call(Member member, Args... args)
{
    Table table;
    const bool present = loader().table(table);
    const auto fn = table.*member;
    if (!fn)
        return present ? Failure : NoEncoder;
    return fn(args...);
}

// GetParameter and Detect_EncoderA: a call that cannot be made leaves its code in word 0.
int16_t callWithCodeInWord0(BufferFn Table::*member, int16_t *out9)
{
    Table table;
    const bool present = loader().table(table);
    const BufferFn fn = table.*member;
    if (fn)
        return fn(out9);
    const int16_t code = present ? Failure : NoEncoder;
    if (out9)
        out9[0] = code;
    return code;
}

} // namespace

QString libraryPath()
{
    return Paths::inProgramDir(QStringLiteral("libHotelLock.so"));
}

bool isLoaded()
{
    return loader().loaded();
}

int16_t MakeCardOpenPort(int32_t port)
{
    return call(&Table::MakeCardOpenPort, port);
}

int16_t GetParameter(int16_t *out9)
{
    return callWithCodeInWord0(&Table::GetParameter, out9);
}

int16_t Detect_EncoderA(int16_t *out9)
{
    return callWithCodeInWord0(&Table::Detect_EncoderA, out9);
}

int16_t SystemInitialization(int16_t *password4)
{
    return call(&Table::SystemInitialization, password4);
}

int16_t ReadSystemPas(int16_t *out33)
{
    return call(&Table::ReadSystemPas, out33);
}

int16_t ClearCardData(int16_t *cardNo9)
{
    return call(&Table::ClearCardData, cardNo9);
}

int16_t ReadDataCard(int16_t *data9)
{
    return call(&Table::ReadDataCard, data9);
}

int16_t ReadOneOpenDoorRecord(int16_t *building1, int16_t *floor1, int16_t *unused1, int16_t *unused2, int16_t *room7,
    int16_t *cardType1, int16_t *time6, int16_t *data9)
{
    return call(&Table::ReadOneOpenDoorRecord, building1, floor1, unused1, unused2, room7, cardType1, time6, data9);
}

int16_t ReadCard(int16_t *cardNo9, int16_t *aux1_5, int16_t *building1, int16_t *floor9, int16_t *district5,
    int16_t *room7, int16_t *override1, int16_t *cardType9, int16_t *aux2_5, int16_t *start6, int16_t *end6)
{
    return call(&Table::ReadCard, cardNo9, aux1_5, building1, floor9, district5, room7, override1, cardType9, aux2_5,
        start6, end6);
}

int16_t ReadCard(TCardData &card)
{
    return ReadCard(card.CardNo, card.Aux1, &card.Building, card.Floor, card.District, card.Room, &card.Override,
        card.CardType, card.Aux2, card.StartTime, card.EndTime);
}

const char *makeFunctionName(MakeFunction function)
{
    return makeTable[static_cast<size_t>(function)].name;
}

int16_t cardTypeWrittenBy(MakeFunction function)
{
    return makeTable[static_cast<size_t>(function)].cardType;
}

int16_t makeCard(MakeFunction function, int16_t *cardNo9, int16_t *aux1_5, int32_t building, int16_t *floor9,
    int16_t *district5, int16_t *room7, int32_t override, int16_t *cardType9, int16_t *aux2_5, int16_t *start6,
    int16_t *end6)
{
    Table table;
    const bool present = loader().table(table);
    const MakeCardFn fn = table.make[static_cast<size_t>(function)];
    if (!fn)
        return present ? Failure : NoEncoder;
    return fn(cardNo9, aux1_5, building, floor9, district5, room7, override, cardType9, aux2_5, start6, end6);
}

int16_t makeCard(MakeFunction function, TCardData &card)
{
    return makeCard(function, card.CardNo, card.Aux1, card.Building, card.Floor, card.District, card.Room,
        card.Override, card.CardType, card.Aux2, card.StartTime, card.EndTime);
}

} // namespace Encoder
