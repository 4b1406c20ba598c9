// Card encoder simulator. The encoder (connection, device type, system password,
// the card lying on it and an attached data collector) lives in a state file
// shared by every process, so a card written by one run of the program can be
// read by the next, or by lockctl. Every call locks "<state>.lock", reads the
// state under the lock and, when it changed it, replaces the file by rename.
#include "HotelLock.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class CardKind { None, Blank, Written };

constexpr int16_t DataCardType = 14;
constexpr int16_t CollectorDevice = 11;
constexpr int DataCollectorDeviceType = 3;
constexpr int RecordWords = 14;

struct State {
    bool connected = true;
    int deviceType = 2;
    std::array<int16_t, 4> password { 0x12, 0x34, 0x56, 0x78 };
    CardKind card = CardKind::None;
    std::array<int16_t, HL_CARD_WORDS> words {};
    std::vector<HLSim_DoorRecord> records;
    bool collectorAttached = false;
    std::vector<HLSim_DoorRecord> collector;
    bool failPending = false;
    std::string failFunction; // empty: any function
    int failCode = 0;
};

// Everything below is guarded by this mutex: the state file is shared between
// processes by flock, between threads of this process by the mutex.
std::mutex g_mutex;
std::string g_stateFileOverride;
std::string g_callLog;
std::vector<HLSim_DoorRecord> g_cursorRecords;
size_t g_cursorNext = 0;

std::string stateFilePath()
{
    if (!g_stateFileOverride.empty())
        return g_stateFileOverride;
    if (const char *path = std::getenv("HOTELLOCK_STATE"); path && *path)
        return path;
    std::string dir;
    if (const char *xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        dir = xdg;
    else if (const char *home = std::getenv("HOME"); home && *home)
        dir = std::string(home) + "/.config";
    else
        dir = ".";
    return dir + "/hotellock.state";
}

void recordToWords(const HLSim_DoorRecord &r, int16_t *w)
{
    w[0] = r.building;
    w[1] = r.floor;
    w[2] = r.room;
    w[3] = r.cardType;
    std::copy_n(r.time, 6, w + 4);
    std::copy_n(r.cardNo, 4, w + 10);
}

HLSim_DoorRecord recordFromWords(const int16_t *w)
{
    HLSim_DoorRecord r {};
    r.building = w[0];
    r.floor = w[1];
    r.room = w[2];
    r.cardType = w[3];
    std::copy_n(w + 4, 6, r.time);
    std::copy_n(w + 10, 4, r.cardNo);
    return r;
}

// A token that names one written state: a process that finds the token it
// read or wrote last in the file knows the state without parsing it again.
std::string newGeneration()
{
    static std::mt19937_64 random { std::random_device {}() ^ (uint64_t(::getpid()) << 32) };
    static uint64_t counter = 0;
    return std::to_string(random()) + "-" + std::to_string(++counter);
}

std::string serialize(const State &s)
{
    std::ostringstream out;
    out << "hotellock-state 1\n";
    out << "generation " << newGeneration() << "\n";
    out << "connected " << (s.connected ? 1 : 0) << "\n";
    out << "device " << s.deviceType << "\n";
    out << "password";
    for (int16_t w : s.password)
        out << ' ' << w;
    out << "\n";
    switch (s.card) {
    case CardKind::None:
        out << "card none\n";
        break;
    case CardKind::Blank:
        out << "card blank\n";
        break;
    case CardKind::Written:
        out << "card written";
        for (int16_t w : s.words)
            out << ' ' << w;
        out << "\n";
        break;
    }
    const auto writeRecords = [&out](const char *key, const std::vector<HLSim_DoorRecord> &records) {
        for (const HLSim_DoorRecord &r : records) {
            int16_t w[RecordWords];
            recordToWords(r, w);
            out << key;
            for (int16_t v : w)
                out << ' ' << v;
            out << "\n";
        }
    };
    writeRecords("record", s.records);
    out << "collector " << (s.collectorAttached ? 1 : 0) << "\n";
    writeRecords("collected", s.collector);
    if (s.failPending)
        out << "fail " << s.failCode << ' ' << (s.failFunction.empty() ? "*" : s.failFunction) << "\n";
    return out.str();
}

template <size_t N> bool readWords(std::istringstream &in, int16_t (&w)[N])
{
    for (size_t i = 0; i < N; ++i)
        if (!(in >> w[i]))
            return false;
    return true;
}

// A missing or unreadable file is a fresh encoder.
State parse(const std::string &text)
{
    State s;
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != "hotellock-state 1")
        return State {};
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::string key;
        in >> key;
        if (key == "connected") {
            int v = 1;
            in >> v;
            s.connected = v != 0;
        } else if (key == "device") {
            in >> s.deviceType;
        } else if (key == "password") {
            int16_t w[4] {};
            if (!readWords(in, w))
                return State {};
            std::copy_n(w, 4, s.password.begin());
        } else if (key == "card") {
            std::string kind;
            in >> kind;
            if (kind == "blank") {
                s.card = CardKind::Blank;
            } else if (kind == "written") {
                int16_t w[HL_CARD_WORDS] {};
                if (!readWords(in, w))
                    return State {};
                s.card = CardKind::Written;
                std::copy_n(w, HL_CARD_WORDS, s.words.begin());
            } else {
                s.card = CardKind::None;
            }
        } else if (key == "record" || key == "collected") {
            int16_t w[RecordWords] {};
            if (!readWords(in, w))
                return State {};
            (key == "record" ? s.records : s.collector).push_back(recordFromWords(w));
        } else if (key == "collector") {
            int v = 0;
            in >> v;
            s.collectorAttached = v != 0;
        } else if (key == "fail") {
            std::string name;
            in >> s.failCode >> name;
            s.failPending = true;
            s.failFunction = name == "*" ? std::string() : name;
        }
    }
    return s;
}

// The state this process read or wrote last, and the generation line of
// the file it came from.
struct StateCache {
    bool valid = false;
    std::string path;
    std::string generation;
    State state;
} g_cache;

// The second line of the file at path; empty when it cannot be read.
std::string generationLine(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    char head[256];
    ssize_t n;
    do
        n = ::read(fd, head, sizeof head);
    while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n <= 0)
        return {};
    const std::string_view text(head, static_cast<size_t>(n));
    const size_t first = text.find('\n');
    if (first == std::string_view::npos)
        return {};
    const size_t second = text.find('\n', first + 1);
    if (second == std::string_view::npos)
        return {};
    return std::string(text.substr(first + 1, second - first - 1));
}

// One call's hold on the state file: the lock, the state read under it, and
// the write-back when the call changed it.
class Session {
public:
    Session()
        : m_path(stateFilePath())
    {
        const std::string lockPath = m_path + ".lock";
        m_lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_lockFd < 0 && errno == ENOENT) {
            // The first call of all: the state file's folder is made.
            std::error_code ec;
            const std::filesystem::path parent = std::filesystem::path(m_path).parent_path();
            if (!parent.empty())
                std::filesystem::create_directories(parent, ec);
            m_lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        }
        if (m_lockFd < 0)
            return;
        int rc;
        do
            rc = ::flock(m_lockFd, LOCK_EX);
        while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            ::close(m_lockFd);
            m_lockFd = -1;
            return;
        }
        // A card of thousands of door records is not parsed again for each
        // record: the generation line, second of the file, tells whether the
        // file changed.
        const std::string generation = generationLine(m_path);
        if (g_cache.valid && g_cache.path == m_path && generation.rfind("generation ", 0) == 0
            && generation == g_cache.generation) {
            // Borrowed, not copied: a data card's records are many.
            state = std::move(g_cache.state);
            m_borrowed = true;
            return;
        }
        std::ifstream file(m_path, std::ios::binary);
        if (!file) {
            g_cache.valid = false;
            return;
        }
        std::ostringstream text;
        text << file.rdbuf();
        state = parse(text.str());
        g_cache = { generation.rfind("generation ", 0) == 0, m_path, generation, state };
    }

    ~Session()
    {
        if (m_borrowed && !changed)
            g_cache.state = std::move(state);
        else if (m_borrowed)
            g_cache.valid = false;
        if (m_lockFd >= 0) {
            ::flock(m_lockFd, LOCK_UN);
            ::close(m_lockFd);
        }
    }

    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    bool ok() const { return m_lockFd >= 0; }

    // Writes the state if it changed, before the lock is released.
    bool save()
    {
        if (!changed)
            return true;
        std::string temp = m_path + ".XXXXXX";
        const int fd = ::mkstemp(temp.data());
        if (fd < 0)
            return false;
        const std::string text = serialize(state);
        const size_t firstBreak = text.find('\n');
        const std::string generation = text.substr(firstBreak + 1, text.find('\n', firstBreak + 1) - firstBreak - 1);
        const char *data = text.data();
        size_t left = text.size();
        bool written = true;
        while (left > 0) {
            const ssize_t n = ::write(fd, data, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                written = false;
                break;
            }
            data += n;
            left -= static_cast<size_t>(n);
        }
        ::fchmod(fd, 0644);
        ::close(fd);
        if (!written || ::rename(temp.c_str(), m_path.c_str()) != 0) {
            ::unlink(temp.c_str());
            g_cache.valid = false;
            return false;
        }
        changed = false;
        g_cache = { true, m_path, generation, state };
        m_borrowed = false;
        return true;
    }

    State state;
    bool changed = false;

private:
    std::string m_path;
    int m_lockFd = -1;
    bool m_borrowed = false; // state was moved out of g_cache and goes back unless changed
};

void copyOut(int16_t *to, const int16_t *from, int n)
{
    if (to)
        std::copy_n(from, n, to);
}

void zeroOut(int16_t *to, int n)
{
    if (to)
        std::fill_n(to, n, int16_t(0));
}

void copyIn(int16_t *to, const int16_t *from, int n)
{
    if (from)
        std::copy_n(from, n, to);
    else
        std::fill_n(to, n, int16_t(0));
}

// Runs one encoder call: logs it, holds the state, honours an armed fault and a
// disconnected encoder, and keeps every exception inside the library.
template <typename Body> int16_t encoderCall(const char *name, int16_t *word0, Body &&body) noexcept
{
    try {
        std::lock_guard guard(g_mutex);
        g_callLog += name;
        g_callLog += '\n';
        Session session;
        if (!session.ok()) {
            if (word0)
                *word0 = -2;
            return -2;
        }
        State &s = session.state;
        if (s.failPending && (s.failFunction.empty() || s.failFunction == name)) {
            const auto code = static_cast<int16_t>(s.failCode);
            s.failPending = false;
            s.failFunction.clear();
            session.changed = true;
            session.save();
            return code;
        }
        if (!s.connected) {
            if (word0)
                *word0 = -2;
            return -2;
        }
        const int16_t result = body(session);
        if (!session.save())
            return -15;
        return result;
    } catch (...) {
        return -15;
    }
}

// Runs one control: holds the state and writes it back if the body changed it.
template <typename Body> int controlCall(Body &&body) noexcept
{
    try {
        std::lock_guard guard(g_mutex);
        Session session;
        if (!session.ok())
            return 0;
        const int result = body(session);
        if (!session.save())
            return 0;
        return result;
    } catch (...) {
        return 0;
    }
}

int16_t makeCard(const char *name, int16_t type, int16_t *cardNo9, int16_t *aux1_5, int32_t building, int16_t *floor9,
    int16_t *district5, int16_t *room7, int32_t override, int16_t *cardType9, int16_t *aux2_5, int16_t *start6,
    int16_t *end6) noexcept
{
    return encoderCall(name, nullptr, [&](Session &session) -> int16_t {
        State &s = session.state;
        if (s.card == CardKind::None)
            return -1;
        if (s.card != CardKind::Blank)
            return -15;
        std::array<int16_t, HL_CARD_WORDS> w {};
        copyIn(w.data() + HL_CARDNO_OFFSET, cardNo9, 9);
        copyIn(w.data() + HL_AUX1_OFFSET, aux1_5, 5);
        w[HL_BUILDING_OFFSET] = static_cast<int16_t>(building & 0xFFFF);
        copyIn(w.data() + HL_ROOM_OFFSET, room7, 7);
        copyIn(w.data() + HL_FLOOR_OFFSET, floor9, 9);
        copyIn(w.data() + HL_DISTRICT_OFFSET, district5, 5);
        copyIn(w.data() + HL_CARDTYPE_OFFSET, cardType9, 9);
        w[HL_CARDTYPE_OFFSET] = type;
        w[HL_OVERRIDE_OFFSET] = static_cast<int16_t>(override & 0xFFFF);
        copyIn(w.data() + HL_AUX2_OFFSET, aux2_5, 5);
        copyIn(w.data() + HL_STARTTIME_OFFSET, start6, 6);
        copyIn(w.data() + HL_ENDTIME_OFFSET, end6, 6);
        s.card = CardKind::Written;
        s.words = w;
        s.records.clear();
        session.changed = true;
        return 1;
    });
}

int copyRecords(const std::vector<HLSim_DoorRecord> &records, HLSim_DoorRecord *out, int max)
{
    if (out)
        std::copy_n(records.begin(), std::min<size_t>(records.size(), std::max(max, 0)), out);
    return static_cast<int>(records.size());
}

std::vector<HLSim_DoorRecord> recordsFrom(const HLSim_DoorRecord *records, int n)
{
    if (!records || n <= 0)
        return {};
    return std::vector<HLSim_DoorRecord>(records, records + n);
}

} // namespace

#define HOTELLOCK_EXPORT extern "C" HOTELLOCK_API

HOTELLOCK_EXPORT int16_t MakeCardOpenPort(int32_t)
{
    return encoderCall("MakeCardOpenPort", nullptr, [](Session &) -> int16_t { return 1; });
}

HOTELLOCK_EXPORT int16_t GetParameter(int16_t *out9)
{
    return encoderCall("GetParameter", out9, [out9](Session &session) -> int16_t {
        zeroOut(out9, 9);
        if (out9)
            out9[0] = static_cast<int16_t>(session.state.deviceType);
        return 1;
    });
}

HOTELLOCK_EXPORT int16_t Detect_EncoderA(int16_t *out9)
{
    return encoderCall("Detect_EncoderA", out9, [out9](Session &session) -> int16_t {
        zeroOut(out9, 9);
        if (out9)
            out9[0]
                = session.state.collectorAttached ? CollectorDevice : static_cast<int16_t>(session.state.deviceType);
        return 1;
    });
}

HOTELLOCK_EXPORT int16_t SystemInitialization(int16_t *password4)
{
    return encoderCall("SystemInitialization", nullptr, [password4](Session &session) -> int16_t {
        if (!password4)
            return -15;
        return std::equal(session.state.password.begin(), session.state.password.end(), password4) ? 1 : -14;
    });
}

HOTELLOCK_EXPORT int16_t ReadSystemPas(int16_t *out33)
{
    return encoderCall("ReadSystemPas", nullptr, [out33](Session &session) -> int16_t {
        zeroOut(out33, 33);
        copyOut(out33, session.state.password.data(), 4);
        return 1;
    });
}

HOTELLOCK_EXPORT int16_t ClearCardData(int16_t *cardNo9)
{
    return encoderCall("ClearCardData", nullptr, [cardNo9](Session &session) -> int16_t {
        State &s = session.state;
        if (s.card == CardKind::None)
            return -1;
        if (!cardNo9 || !std::equal(cardNo9, cardNo9 + 4, s.words.begin() + HL_CARDNO_OFFSET))
            return -15;
        s.card = CardKind::Blank;
        s.words.fill(0);
        s.records.clear();
        session.changed = true;
        return 1;
    });
}

HOTELLOCK_EXPORT int16_t ReadCard(int16_t *cardNo9, int16_t *aux1_5, int16_t *building1, int16_t *floor9,
    int16_t *district5, int16_t *room7, int16_t *override1, int16_t *cardType9, int16_t *aux2_5, int16_t *start6,
    int16_t *end6)
{
    return encoderCall("ReadCard", nullptr, [&](Session &session) -> int16_t {
        const State &s = session.state;
        if (s.card == CardKind::None)
            return -1;
        std::array<int16_t, HL_CARD_WORDS> w {};
        if (s.card == CardKind::Blank) {
            w[HL_CARDTYPE_OFFSET] = HL_BLANK_CARD_TYPE;
        } else {
            w = s.words;
            // The card reports only the room number in its room block.
            std::fill_n(w.begin() + HL_ROOM_OFFSET + 1, 6, int16_t(0));
        }
        copyOut(cardNo9, w.data() + HL_CARDNO_OFFSET, 9);
        copyOut(aux1_5, w.data() + HL_AUX1_OFFSET, 5);
        copyOut(building1, w.data() + HL_BUILDING_OFFSET, 1);
        copyOut(room7, w.data() + HL_ROOM_OFFSET, 7);
        copyOut(floor9, w.data() + HL_FLOOR_OFFSET, 9);
        copyOut(district5, w.data() + HL_DISTRICT_OFFSET, 5);
        copyOut(cardType9, w.data() + HL_CARDTYPE_OFFSET, 9);
        copyOut(override1, w.data() + HL_OVERRIDE_OFFSET, 1);
        copyOut(aux2_5, w.data() + HL_AUX2_OFFSET, 5);
        copyOut(start6, w.data() + HL_STARTTIME_OFFSET, 6);
        copyOut(end6, w.data() + HL_ENDTIME_OFFSET, 6);
        return 1;
    });
}

HOTELLOCK_EXPORT int16_t ReadDataCard(int16_t *data9)
{
    return encoderCall("ReadDataCard", nullptr, [data9](Session &session) -> int16_t {
        const State &s = session.state;
        g_cursorRecords.clear();
        g_cursorNext = 0;
        zeroOut(data9, 9);
        if (s.deviceType == DataCollectorDeviceType && s.collectorAttached) {
            g_cursorRecords = s.collector;
        } else {
            if (s.card == CardKind::None)
                return -1;
            if (s.card != CardKind::Written || s.words[HL_CARDTYPE_OFFSET] != DataCardType)
                return -15;
            copyOut(data9, s.words.data() + HL_CARDNO_OFFSET, 4);
            g_cursorRecords = s.records;
        }
        return g_cursorRecords.empty() ? 0 : 1;
    });
}

HOTELLOCK_EXPORT int16_t ReadOneOpenDoorRecord(int16_t *building1, int16_t *floor1, int16_t *, int16_t *,
    int16_t *room7, int16_t *cardType1, int16_t *time6, int16_t *data9)
{
    return encoderCall("ReadOneOpenDoorRecord", nullptr, [&](Session &) -> int16_t {
        if (g_cursorNext >= g_cursorRecords.size())
            return 0;
        const HLSim_DoorRecord &r = g_cursorRecords[g_cursorNext++];
        copyOut(building1, &r.building, 1);
        copyOut(floor1, &r.floor, 1);
        zeroOut(room7, 7);
        copyOut(room7, &r.room, 1);
        copyOut(cardType1, &r.cardType, 1);
        copyOut(time6, r.time, 5);
        // The lock's seconds word is never zero; readers ignore it.
        if (time6)
            time6[5] = r.time[5] != 0 ? r.time[5] : static_cast<int16_t>(17 + g_cursorNext % 40);
        zeroOut(data9, 9);
        copyOut(data9, r.cardNo, 4);
        return 1;
    });
}

#define HOTELLOCK_DEFINE_MAKE_CARD(name, type)                                                                         \
    HOTELLOCK_EXPORT int16_t name(int16_t *cardNo9, int16_t *aux1_5, int32_t building, int16_t *floor9,                \
        int16_t *district5, int16_t *room7, int32_t override, int16_t *cardType9, int16_t *aux2_5, int16_t *start6,    \
        int16_t *end6)                                                                                                 \
    {                                                                                                                  \
        return makeCard(#name, type, cardNo9, aux1_5, building, floor9, district5, room7, override, cardType9, aux2_5, \
            start6, end6);                                                                                             \
    }

// The card type each writer puts on the card; the names do not always say it.
HOTELLOCK_DEFINE_MAKE_CARD(MakeGuestCard, 4)
HOTELLOCK_DEFINE_MAKE_CARD(MakeTimeCard, 2)
HOTELLOCK_DEFINE_MAKE_CARD(MakeDataCard, 14)
HOTELLOCK_DEFINE_MAKE_CARD(MakeChiefCard, 10)
HOTELLOCK_DEFINE_MAKE_CARD(MakeCleanDistrictCard, 6)
HOTELLOCK_DEFINE_MAKE_CARD(MakeBuildingCard, 8)
#if !defined(HOTELLOCK_OMIT_MAKEFLOORCARD)
HOTELLOCK_DEFINE_MAKE_CARD(MakeFloorCard, 5)
#endif
HOTELLOCK_DEFINE_MAKE_CARD(MakeClientCard, 1)
HOTELLOCK_DEFINE_MAKE_CARD(MakeEmergentCard, 3)
HOTELLOCK_DEFINE_MAKE_CARD(MakeLostCard, 12)

HOTELLOCK_EXPORT int HLSim_SetStateFile(const char *path)
{
    try {
        std::lock_guard guard(g_mutex);
        g_stateFileOverride = path ? path : "";
        return 1;
    } catch (...) {
        return 0;
    }
}

HOTELLOCK_EXPORT int HLSim_Reset(void)
{
    return controlCall([](Session &session) {
        session.state = State {};
        session.changed = true;
        g_cursorRecords.clear();
        g_cursorNext = 0;
        return 1;
    });
}

HOTELLOCK_EXPORT int HLSim_SetConnected(int connected)
{
    return controlCall([connected](Session &session) {
        session.state.connected = connected != 0;
        session.changed = true;
        return 1;
    });
}

HOTELLOCK_EXPORT int HLSim_SetDeviceType(int deviceType)
{
    return controlCall([deviceType](Session &session) {
        session.state.deviceType = deviceType;
        session.changed = true;
        return 1;
    });
}

HOTELLOCK_EXPORT int HLSim_SetSystemPassword(const int16_t w[4])
{
    if (!w)
        return 0;
    return controlCall([w](Session &session) {
        std::copy_n(w, 4, session.state.password.begin());
        session.changed = true;
        return 1;
    });
}

HOTELLOCK_EXPORT int HLSim_PutBlankCard(void)
{
    return controlCall([](Session &session) {
        session.state.card = CardKind::Blank;
        session.state.words.fill(0);
        session.state.records.clear();
        session.changed = true;
        return 1;
    });
}

HOTELLOCK_EXPORT int HLSim_PutCard(const int16_t card[63])
{
    if (!card)
        return 0;
    return controlCall([card](Session &session) {
        State &s = session.state;
        if (card[HL_CARDTYPE_OFFSET] == HL_BLANK_CARD_TYPE) {
            s.card = CardKind::Blank;
            s.words.fill(0);
        } else {
            s.card = CardKind::Written;
            std::copy_n(card, HL_CARD_WORDS, s.words.begin());
        }
        s.records.clear();
        session.changed = true;
        return 1;
    });
}

HOTELLOCK_EXPORT int HLSim_TakeCard(void)
{
    return controlCall([](Session &session) {
        session.state.card = CardKind::None;
        session.state.words.fill(0);
        session.state.records.clear();
        session.changed = true;
        return 1;
    });
}

HOTELLOCK_EXPORT int HLSim_GetCard(int16_t card[63])
{
    return controlCall([card](Session &session) {
        const State &s = session.state;
        if (s.card == CardKind::None)
            return 0;
        if (card) {
            std::copy(s.words.begin(), s.words.end(), card);
            if (s.card == CardKind::Blank)
                card[HL_CARDTYPE_OFFSET] = HL_BLANK_CARD_TYPE;
        }
        return 1;
    });
}

HOTELLOCK_EXPORT int HLSim_PutDataCard(const HLSim_DoorRecord *records, int n)
{
    return controlCall([records, n](Session &session) {
        State &s = session.state;
        s.card = CardKind::Written;
        s.words.fill(0);
        s.words[HL_CARDTYPE_OFFSET] = DataCardType;
        s.records = recordsFrom(records, n);
        session.changed = true;
        return 1;
    });
}

HOTELLOCK_EXPORT int HLSim_AttachCollector(const HLSim_DoorRecord *records, int n)
{
    return controlCall([records, n](Session &session) {
        session.state.collectorAttached = true;
        session.state.collector = recordsFrom(records, n);
        session.changed = true;
        return 1;
    });
}

HOTELLOCK_EXPORT int HLSim_DetachCollector(void)
{
    return controlCall([](Session &session) {
        session.state.collectorAttached = false;
        session.state.collector.clear();
        session.changed = true;
        return 1;
    });
}

HOTELLOCK_EXPORT int HLSim_FailNext(const char *function, int code)
{
    return controlCall([function, code](Session &session) {
        State &s = session.state;
        const std::string name = function ? function : "";
        s.failPending = true;
        s.failFunction = name == "any" || name == "*" ? std::string() : name;
        s.failCode = code;
        session.changed = true;
        return 1;
    });
}

HOTELLOCK_EXPORT int HLSim_GetStatus(HLSim_Status *status)
{
    if (!status)
        return 0;
    return controlCall([status](Session &session) {
        const State &s = session.state;
        *status = HLSim_Status {};
        status->connected = s.connected ? 1 : 0;
        status->deviceType = s.deviceType;
        std::copy(s.password.begin(), s.password.end(), status->password);
        status->card = s.card == CardKind::None ? 0 : s.card == CardKind::Blank ? 1 : 2;
        status->doorRecords = static_cast<int32_t>(s.records.size());
        status->collectorAttached = s.collectorAttached ? 1 : 0;
        status->collectorRecords = static_cast<int32_t>(s.collector.size());
        status->failPending = s.failPending ? 1 : 0;
        status->failCode = s.failCode;
        std::snprintf(status->failFunction, sizeof status->failFunction, "%s", s.failFunction.c_str());
        return 1;
    });
}

HOTELLOCK_EXPORT int HLSim_GetDoorRecords(HLSim_DoorRecord *out, int max)
{
    return controlCall([out, max](Session &session) { return copyRecords(session.state.records, out, max); });
}

HOTELLOCK_EXPORT int HLSim_GetCollectorRecords(HLSim_DoorRecord *out, int max)
{
    return controlCall([out, max](Session &session) {
        if (!session.state.collectorAttached)
            return -1;
        return copyRecords(session.state.collector, out, max);
    });
}

HOTELLOCK_EXPORT int HLSim_CallLog(char *buf, int size)
{
    try {
        std::lock_guard guard(g_mutex);
        const int needed = static_cast<int>(g_callLog.size()) + 1;
        if (buf && size > 0) {
            const size_t n = std::min<size_t>(g_callLog.size(), static_cast<size_t>(size - 1));
            std::memcpy(buf, g_callLog.data(), n);
            buf[n] = '\0';
        }
        return needed;
    } catch (...) {
        return 0;
    }
}

HOTELLOCK_EXPORT int HLSim_ClearCallLog(void)
{
    try {
        std::lock_guard guard(g_mutex);
        g_callLog.clear();
        return 1;
    } catch (...) {
        return 0;
    }
}
