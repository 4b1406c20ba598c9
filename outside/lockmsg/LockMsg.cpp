// Message library: the texts of encoder result codes and the numbered unit
// texts, built once per language folder (LOCKMSG_LANGUAGE 2052 or 1033).
//
// Every text crosses in the caller's 256-byte buffer: byte 0 holds the length
// L, bytes 1..L the UTF-8 text; no terminating NUL is written or relied on.
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

#define LOCKMSG_API extern "C" __attribute__((visibility("default")))

namespace {

// Narrow literals are UTF-8 (built with -fexec-charset=UTF-8).
#if LOCKMSG_LANGUAGE == 2052
constexpr std::string_view units[] = {
    "发卡机信息（代码：%s）",
    "注销卡",
    "以下房间有使用此卡的在住记录：%s。是否退房？",
};
constexpr std::string_view success = "操作成功！";
constexpr std::string_view noCard = "无卡！";
constexpr std::string_view noEncoder = "无发卡机！";
constexpr std::string_view foreignEncoder = "非本系统的发卡机！";
constexpr std::string_view failed = "操作失败！";
#elif LOCKMSG_LANGUAGE == 1033
constexpr std::string_view units[] = {
    "Card encoder message (code: %s)",
    "Cancel card",
    "These rooms have stays using this card: %s. Check them out?",
};
constexpr std::string_view success = "Operation succeeded!";
constexpr std::string_view noCard = "No card!";
constexpr std::string_view noEncoder = "No card encoder!";
constexpr std::string_view foreignEncoder = "The card encoder belongs to another system!";
constexpr std::string_view failed = "Operation failed!";
#elif LOCKMSG_LANGUAGE == 0
// Test build: texts that probe the callers' limits (a title pattern with a
// format directive and two "%s", texts longer than the buffer holds, one of
// them not ending on a character boundary at byte 255).
constexpr std::string_view units[] = {
    "%d-%s-%s",
    "房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房"
    "间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间",
    "%n %s %s",
    "x房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间"
    "房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间房间",
};
constexpr std::string_view success = "OK %s";
constexpr std::string_view noCard = "no card %n";
constexpr std::string_view noEncoder = "no encoder";
constexpr std::string_view foreignEncoder = "foreign encoder";
constexpr std::string_view failed = "failed";
#else
#error "LOCKMSG_LANGUAGE must be 2052, 1033 or 0 (test texts)"
#endif

constexpr size_t MaxLength = 255;

// Cuts at a character boundary so that the buffer never ends in half a character.
void fill(unsigned char *buf, std::string_view text)
{
    if (!buf)
        return;
    size_t length = text.size();
    if (length > MaxLength) {
        length = MaxLength;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    }
    buf[0] = static_cast<unsigned char>(length);
    std::memcpy(buf + 1, text.data(), length);
}

} // namespace

LOCKMSG_API void GetUnitStr(unsigned char *buf256, int32_t index)
{
    constexpr auto count = static_cast<int32_t>(std::size(units));
    fill(buf256, index >= 0 && index < count ? units[index] : std::string_view());
}

// The code travels as a 16-bit word; the third argument is always 1.
LOCKMSG_API void GetMsgStr(unsigned char *buf256, int32_t code, int32_t)
{
    switch (static_cast<int16_t>(code & 0xFFFF)) {
    case 1:
        fill(buf256, success);
        break;
    case -1:
        fill(buf256, noCard);
        break;
    case -2:
        fill(buf256, noEncoder);
        break;
    case -14:
        fill(buf256, foreignEncoder);
        break;
    default:
        fill(buf256, failed);
        break;
    }
}
