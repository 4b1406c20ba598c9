#include "MessageLibrary.h"

#include "Paths.h"
#include "Settings.h"

#include <QLibrary>
#include <QStringDecoder>

#include <array>
#include <optional>

namespace MessageLibrary {

namespace {

using GetUnitStrFn = void (*)(unsigned char *, int32_t);
using GetMsgStrFn = void (*)(unsigned char *, int32_t, int32_t);

constexpr int BufferSize = 256;

QString builtInUnitText(int index)
{
    switch (index) {
    case 0:
        return QStringLiteral("发卡机信息（代码：%s）");
    case 1:
        return QStringLiteral("注销卡");
    case 2:
        return QStringLiteral("以下房间有使用此卡的在住记录：%s。是否退房？");
    default:
        return {};
    }
}

QString builtInResultText(int16_t code)
{
    switch (code) {
    case 1:
        return QStringLiteral("操作成功！");
    case -1:
        return QStringLiteral("无卡！");
    case -2:
        return QStringLiteral("无发卡机！");
    case -14:
        return QStringLiteral("非本系统的发卡机！");
    default:
        return QStringLiteral("操作失败！");
    }
}

// Loads the library of the operator's language for one text; nullopt when the
// library or the function is missing.
template <typename Fn, typename Call> std::optional<QString> fromLibrary(const char *function, Call call)
{
    QLibrary library(libraryPath(SystemSettings.LanguageID));
    if (!library.load())
        return std::nullopt;
    const auto fn = reinterpret_cast<Fn>(library.resolve(function));
    std::optional<QString> text;
    if (fn) {
        std::array<unsigned char, BufferSize> buffer {};
        call(fn, buffer.data());
        text = decodeBuffer(buffer.data());
    }
    library.unload();
    return text;
}

} // namespace

QString libraryPath(int languageId)
{
    return Paths::inProgramDir(QStringLiteral("Dll/%1/libLockMsg.so").arg(languageId));
}

QString decodeBuffer(const unsigned char *buffer256)
{
    int length = buffer256[0];
    const auto *bytes = reinterpret_cast<const char *>(buffer256 + 1);
    // A character cut off at the end of the buffer is dropped, not shown as garbage.
    int start = length;
    while (start > 0 && (static_cast<unsigned char>(bytes[start - 1]) & 0xC0) == 0x80)
        --start;
    if (start > 0) {
        const auto lead = static_cast<unsigned char>(bytes[start - 1]);
        const int needed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (lead >= 0xC0 && length - (start - 1) < needed)
            length = start - 1;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    return decoder.decode(QByteArrayView(bytes, length));
}

QString unitText(int index)
{
    const auto text = fromLibrary<GetUnitStrFn>(
        "GetUnitStr", [index](GetUnitStrFn fn, unsigned char *buffer) { fn(buffer, index); });
    return text ? *text : builtInUnitText(index);
}

QString resultText(int16_t code)
{
    const auto text
        = fromLibrary<GetMsgStrFn>("GetMsgStr", [code](GetMsgStrFn fn, unsigned char *buffer) { fn(buffer, code, 1); });
    return text ? *text : builtInResultText(code);
}

} // namespace MessageLibrary

QString fillPattern(const QString &pattern, const QString &value)
{
    const qsizetype at = pattern.indexOf(QLatin1String("%s"));
    if (at < 0)
        return pattern;
    QString text = pattern;
    return text.replace(at, 2, value);
}
