// lockctl: looks at and sets up the card encoder simulator from a shell. It
// works on the same state file as the desk program ($HOTELLOCK_STATE, else
// hotellock.state in the configuration folder).
#include "HotelLock.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int Done = 0;
constexpr int Failed = 1;
constexpr int Usage = 2;

constexpr const char *HelpText = R"(Usage: lockctl COMMAND [ARGUMENTS]

Looks at and sets up the card encoder simulator. The state file is
$HOTELLOCK_STATE, else hotellock.state in $XDG_CONFIG_HOME (default ~/.config).

Commands:
  show                      encoder state, the card on the encoder, its door records
  blank                     put a blank card on the encoder
  take                      take the card away
  card KEY=VALUE...         put a written card on the encoder; keys:
                              type=4 no=00000005 building=1 floor=3 room=15
                              district=0 override=0
                              start=2024-03-05T12:00 end=2024-03-06T12:00
                            (defaults: type 4, number 00000000, now to now + 1 day)
  datacard FILE             put a data card (type 14) carrying the door records of FILE
  collector FILE|off        attach a data collector holding the records of FILE, or detach it
  password HHHHHHHH         set the system password (four bytes in hexadecimal)
  device N                  set the device type
  connect | disconnect      plug the encoder in or out
  fail FUNCTION|any CODE    the next call of FUNCTION (or of any function) returns CODE
  reset                     a fresh encoder: connected, device type 2,
                            password 12345678, no card
  --help                    this text

Door record files hold one record per line ('#' starts a comment):
  building floor room type card-number(8 hex) yyyy-mm-dd hh:mm
  1 3 15 4 00000005 2024-03-05 12:30

Exit status: 0 done, 1 failed, 2 usage.
)";

constexpr const char *EncoderFunctions[] = { "MakeCardOpenPort", "GetParameter", "Detect_EncoderA",
    "SystemInitialization", "ReadSystemPas", "ClearCardData", "ReadDataCard", "ReadOneOpenDoorRecord", "ReadCard",
    "MakeGuestCard", "MakeTimeCard", "MakeDataCard", "MakeChiefCard", "MakeCleanDistrictCard", "MakeBuildingCard",
    "MakeFloorCard", "MakeClientCard", "MakeEmergentCard", "MakeLostCard" };

struct UsageError {
    std::string message;
};

struct Failure {
    std::string message;
};

std::string stateFileText()
{
    if (const char *path = std::getenv("HOTELLOCK_STATE"); path && *path)
        return path;
    if (const char *xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return std::string(xdg) + "/hotellock.state";
    return "~/.config/hotellock.state";
}

void check(int result)
{
    if (result != 1)
        throw Failure { "cannot use the encoder state file " + stateFileText() };
}

const char *cardTypeName(int type)
{
    switch (type) {
    case 1:
        return "clear card";
    case 2:
        return "time card";
    case 3:
        return "emergency card";
    case 4:
        return "guest card";
    case 5:
        return "floor card";
    case 6:
        return "district card";
    case 8:
        return "building card";
    case 10:
        return "master card";
    case 12:
        return "stop card";
    case 14:
        return "data card";
    case HL_BLANK_CARD_TYPE:
        return "blank card";
    default:
        return "unknown card type";
    }
}

// Words 3, 2, 1, 0 in hexadecimal, as the desk program prints card numbers.
std::string cardNumberText(const int16_t *w)
{
    std::string text;
    for (int i = 3; i >= 0; --i) {
        char part[16];
        if (w[i] < 0)
            std::snprintf(part, sizeof part, "%08X", static_cast<unsigned>(static_cast<int>(w[i])));
        else
            std::snprintf(part, sizeof part, "%02X", static_cast<unsigned>(w[i]));
        text += part;
    }
    return text;
}

std::string timeText(const int16_t *t)
{
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t[0], t[1], t[2], t[3], t[4]);
    return text;
}

std::optional<long> parseInteger(std::string_view text, int base = 10)
{
    if (text.empty())
        return std::nullopt;
    const std::string copy(text);
    char *end = nullptr;
    const long value = std::strtol(copy.c_str(), &end, base);
    if (*end != '\0')
        return std::nullopt;
    return value;
}

int16_t wordValue(std::string_view key, std::string_view text)
{
    const auto value = parseInteger(text);
    if (!value || *value < -32768 || *value > 32767)
        throw UsageError { std::string(key) + ": not a number: " + std::string(text) };
    return static_cast<int16_t>(*value);
}

// "00000005" -> words 5, 0, 0, 0.
void parseCardNumber(std::string_view text, int16_t *w)
{
    const bool hex = !text.empty() && text.size() <= 8
        && text.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
    if (!hex)
        throw UsageError { "card number must be up to 8 hexadecimal digits: " + std::string(text) };
    const auto value = static_cast<unsigned long>(*parseInteger(text, 16));
    for (int i = 0; i < 4; ++i)
        w[i] = static_cast<int16_t>((value >> (8 * i)) & 0xFF);
}

// "2024-03-05T12:00", "2024-03-05 12:00" or "2024-03-05".
bool parseTime(const std::string &text, int16_t *t)
{
    int year, month, day, hour = 0, minute = 0;
    char separator = 0, extra = 0;
    const int n
        = std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d%c", &year, &month, &day, &separator, &hour, &minute, &extra);
    const bool dateOnly = n == 3;
    const bool dateTime = n == 6 && (separator == 'T' || separator == ' ');
    if (!dateOnly && !dateTime)
        return false;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return false;
    const int16_t words[6] = { static_cast<int16_t>(year), static_cast<int16_t>(month), static_cast<int16_t>(day),
        static_cast<int16_t>(hour), static_cast<int16_t>(minute), 0 };
    std::copy(words, words + 6, t);
    return true;
}

void localTime(std::time_t when, int16_t *t)
{
    std::tm tm {};
    localtime_r(&when, &tm);
    const int16_t words[6] = { static_cast<int16_t>(tm.tm_year + 1900), static_cast<int16_t>(tm.tm_mon + 1),
        static_cast<int16_t>(tm.tm_mday), static_cast<int16_t>(tm.tm_hour), static_cast<int16_t>(tm.tm_min), 0 };
    std::copy(words, words + 6, t);
}

std::vector<HLSim_DoorRecord> readRecordFile(const std::string &path)
{
    std::ifstream file(path);
    if (!file)
        throw Failure { "cannot read " + path };
    std::vector<HLSim_DoorRecord> records;
    std::string line;
    int lineNo = 0;
    while (std::getline(file, line)) {
        ++lineNo;
        if (const auto hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        std::istringstream in(line);
        std::string building, floor, room, type, number, date, time;
        if (!(in >> building))
            continue;
        std::string rest;
        const auto bad = [&](const std::string &why) {
            return Failure { path + ":" + std::to_string(lineNo) + ": " + why
                + " (expected: building floor room type card-number yyyy-mm-dd hh:mm)" };
        };
        if (!(in >> floor >> room >> type >> number >> date >> time) || (in >> rest))
            throw bad("wrong number of fields");
        HLSim_DoorRecord r {};
        try {
            r.building = wordValue("building", building);
            r.floor = wordValue("floor", floor);
            r.room = wordValue("room", room);
            r.cardType = wordValue("type", type);
            parseCardNumber(number, r.cardNo);
        } catch (const UsageError &e) {
            throw bad(e.message);
        }
        if (!parseTime(date + " " + time, r.time))
            throw bad("bad date or time: " + date + " " + time);
        records.push_back(r);
    }
    return records;
}

void printRecords(const std::vector<HLSim_DoorRecord> &records)
{
    int index = 0;
    for (const HLSim_DoorRecord &r : records)
        std::printf("  %3d. building %d floor %d room %d  %-14s card %s  opened %s\n", ++index, r.building, r.floor,
            r.room, cardTypeName(r.cardType), cardNumberText(r.cardNo).c_str(), timeText(r.time).c_str());
}

std::vector<HLSim_DoorRecord> fetch(int (*get)(HLSim_DoorRecord *, int))
{
    const int count = get(nullptr, 0);
    if (count <= 0)
        return {};
    std::vector<HLSim_DoorRecord> records(static_cast<size_t>(count));
    records.resize(static_cast<size_t>(std::min(get(records.data(), count), count)));
    return records;
}

int show()
{
    HLSim_Status status {};
    check(HLSim_GetStatus(&status));
    std::printf("State file:      %s\n", stateFileText().c_str());
    std::printf(
        "Encoder:         %s, device type %d\n", status.connected ? "connected" : "disconnected", status.deviceType);
    std::printf("System password: %02X%02X%02X%02X\n", status.password[0] & 0xFF, status.password[1] & 0xFF,
        status.password[2] & 0xFF, status.password[3] & 0xFF);
    if (status.collectorAttached)
        std::printf("Data collector:  attached, %d door record(s)\n", status.collectorRecords);
    else
        std::printf("Data collector:  none\n");
    if (status.failPending)
        std::printf("Next fault:      %s returns %d\n", status.failFunction[0] ? status.failFunction : "any call",
            status.failCode);

    int16_t card[HL_CARD_WORDS] {};
    if (status.card == 0 || !HLSim_GetCard(card)) {
        std::printf("Card:            none\n");
    } else if (status.card == 1) {
        std::printf("Card:            blank (type %d)\n", HL_BLANK_CARD_TYPE);
    } else {
        const int type = card[HL_CARDTYPE_OFFSET];
        std::printf("Card:            type %d (%s)\n", type, cardTypeName(type));
        std::printf("  Number:        %s\n", cardNumberText(card + HL_CARDNO_OFFSET).c_str());
        std::printf("  Building:      %d\n", card[HL_BUILDING_OFFSET]);
        std::printf("  Floor:         %d\n", card[HL_FLOOR_OFFSET]);
        std::printf("  Room:          %d\n", card[HL_ROOM_OFFSET]);
        std::printf("  District:      %d\n", card[HL_DISTRICT_OFFSET]);
        std::printf("  Override:      %d (%s)\n", card[HL_OVERRIDE_OFFSET],
            card[HL_OVERRIDE_OFFSET] == 0 ? "cancels the room's earlier cards" : "earlier cards stay valid");
        std::printf("  Start:         %s\n", timeText(card + HL_STARTTIME_OFFSET).c_str());
        std::printf("  End:           %s\n", timeText(card + HL_ENDTIME_OFFSET).c_str());
        if (type == 14 || status.doorRecords > 0) {
            std::printf("  Door records:  %d\n", status.doorRecords);
            printRecords(fetch(HLSim_GetDoorRecords));
        }
    }
    if (status.collectorAttached && status.collectorRecords > 0) {
        std::printf("Collector records:\n");
        printRecords(fetch(HLSim_GetCollectorRecords));
    }
    return Done;
}

int putCard(const std::vector<std::string> &args)
{
    int16_t card[HL_CARD_WORDS] {};
    card[HL_CARDTYPE_OFFSET] = 4;
    const std::time_t now = std::time(nullptr);
    localTime(now, card + HL_STARTTIME_OFFSET);
    localTime(now + 24 * 60 * 60, card + HL_ENDTIME_OFFSET);
    for (const std::string &arg : args) {
        const auto equals = arg.find('=');
        if (equals == std::string::npos)
            throw UsageError { "expected KEY=VALUE: " + arg };
        const std::string key = arg.substr(0, equals);
        const std::string value = arg.substr(equals + 1);
        if (key == "type") {
            card[HL_CARDTYPE_OFFSET] = wordValue(key, value);
        } else if (key == "no") {
            parseCardNumber(value, card + HL_CARDNO_OFFSET);
        } else if (key == "building") {
            card[HL_BUILDING_OFFSET] = wordValue(key, value);
            card[HL_ROOM_OFFSET + 1] = card[HL_BUILDING_OFFSET];
        } else if (key == "floor") {
            card[HL_FLOOR_OFFSET] = wordValue(key, value);
            card[HL_ROOM_OFFSET + 2] = card[HL_FLOOR_OFFSET];
        } else if (key == "room") {
            card[HL_ROOM_OFFSET] = wordValue(key, value);
        } else if (key == "district") {
            card[HL_DISTRICT_OFFSET] = wordValue(key, value);
        } else if (key == "override") {
            card[HL_OVERRIDE_OFFSET] = wordValue(key, value);
        } else if (key == "start" || key == "end") {
            if (!parseTime(value, card + (key == "start" ? HL_STARTTIME_OFFSET : HL_ENDTIME_OFFSET)))
                throw UsageError { key + ": expected yyyy-mm-ddThh:mm: " + value };
        } else {
            throw UsageError { "unknown key: " + key };
        }
    }
    check(HLSim_PutCard(card));
    return Done;
}

int run(const std::vector<std::string> &args)
{
    if (args.empty())
        throw UsageError { "no command given" };
    const std::string &command = args[0];
    const auto expect = [&](size_t count) {
        if (args.size() != count + 1)
            throw UsageError { command + ": expected " + std::to_string(count) + " argument(s)" };
    };
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(HelpText, stdout);
        return Done;
    }
    if (command == "show") {
        expect(0);
        return show();
    }
    if (command == "blank") {
        expect(0);
        check(HLSim_PutBlankCard());
        return Done;
    }
    if (command == "take") {
        expect(0);
        check(HLSim_TakeCard());
        return Done;
    }
    if (command == "card")
        return putCard(std::vector<std::string>(args.begin() + 1, args.end()));
    if (command == "datacard") {
        expect(1);
        const auto records = readRecordFile(args[1]);
        check(HLSim_PutDataCard(records.data(), static_cast<int>(records.size())));
        return Done;
    }
    if (command == "collector") {
        expect(1);
        if (args[1] == "off") {
            check(HLSim_DetachCollector());
            return Done;
        }
        const auto records = readRecordFile(args[1]);
        check(HLSim_AttachCollector(records.data(), static_cast<int>(records.size())));
        return Done;
    }
    if (command == "password") {
        expect(1);
        const std::string &text = args[1];
        if (text.size() != 8 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            throw UsageError { "password must be 8 hexadecimal digits: " + text };
        int16_t w[4];
        for (int i = 0; i < 4; ++i)
            w[i] = static_cast<int16_t>(*parseInteger(text.substr(2 * i, 2), 16));
        check(HLSim_SetSystemPassword(w));
        return Done;
    }
    if (command == "device") {
        expect(1);
        check(HLSim_SetDeviceType(wordValue("device", args[1])));
        return Done;
    }
    if (command == "connect" || command == "disconnect") {
        expect(0);
        check(HLSim_SetConnected(command == "connect"));
        return Done;
    }
    if (command == "fail") {
        expect(2);
        const std::string &function = args[1];
        bool known = function == "any";
        for (const char *name : EncoderFunctions)
            known = known || function == name;
        if (!known)
            throw UsageError { "unknown encoder function: " + function };
        check(HLSim_FailNext(function == "any" ? nullptr : function.c_str(), wordValue("code", args[2])));
        return Done;
    }
    if (command == "reset") {
        expect(0);
        check(HLSim_Reset());
        return Done;
    }
    throw UsageError { "unknown command: " + command };
}

} // namespace

int main(int argc, char **argv)
{
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError &e) {
        std::fprintf(stderr, "lockctl: %s\nTry 'lockctl --help'.\n", e.message.c_str());
        return Usage;
    } catch (const Failure &e) {
        std::fprintf(stderr, "lockctl: %s\n", e.message.c_str());
        return Failed;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "lockctl: %s\n", e.what());
        return Failed;
    }
}
