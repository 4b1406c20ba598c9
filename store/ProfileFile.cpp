#include "ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

#include <cstdint>

namespace {

bool isSectionHeader(const QString &trimmedLine)
{
    return trimmedLine.startsWith(u'[') && trimmedLine.contains(u']');
}

QString sectionName(const QString &trimmedLine)
{
    return trimmedLine.mid(1, trimmedLine.indexOf(u']') - 1).trimmed();
}

bool isComment(const QString &trimmedLine)
{
    return trimmedLine.startsWith(u';');
}

// A value between a pair of double or single quotes; a reader drops the pair.
bool isQuoted(const QString &value)
{
    return value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front();
}

// A file written by an older installation may still be in the Chinese code
// page; it is read as such and written back as UTF-8.
QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb("GB18030");
    if (gb.isValid()) {
        text = gb(bytes);
        if (!gb.hasError())
            return text;
    }
    return QString::fromLatin1(bytes);
}

bool isDigitOf(QChar c, int base)
{
    if (c >= u'0' && c <= u'9')
        return true;
    return base == 16 && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'));
}

std::optional<int> parseInteger(const QString &value)
{
    QString text = value.trimmed();
    bool negative = false;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.front() == u'-';
        text.remove(0, 1);
    }
    int base = 10;
    if (text.startsWith(u'$')) {
        base = 16;
        text.remove(0, 1);
    } else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        text.remove(0, 2);
    }
    if (text.isEmpty())
        return std::nullopt;
    for (const QChar c : text)
        if (!isDigitOf(c, base))
            return std::nullopt;
    bool ok = false;
    const qulonglong magnitude = text.toULongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    if (base == 16) {
        // Eight hex digits are a 32-bit pattern: $FFFFFFFF is -1.
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
        const uint32_t bits = static_cast<uint32_t>(magnitude);
        return static_cast<int32_t>(negative ? 0u - bits : bits);
    }
    if (magnitude > (negative ? 2147483648ull : 2147483647ull))
        return std::nullopt;
    return static_cast<int32_t>(negative ? 0ll - static_cast<long long>(magnitude) : static_cast<long long>(magnitude));
}

} // namespace

ProfileFile::ProfileFile(const QString &path)
    : m_path(path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return;
    if (info.isDir()) {
        m_readError = QStringLiteral("it is a folder");
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_readError = file.errorString();
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_readError = file.errorString();
        return;
    }
    m_crlf = bytes.contains("\r\n");
    const QString text = decode(bytes);
    if (text.isEmpty())
        return;
    m_lines = text.split(u'\n');
    if (m_lines.last().isEmpty())
        m_lines.removeLast();
    for (QString &line : m_lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
}

std::optional<ProfileFile::Section> ProfileFile::findSection(const QString &section) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString line = m_lines[i].trimmed();
        if (!isSectionHeader(line) || sectionName(line).compare(section.trimmed(), Qt::CaseInsensitive) != 0)
            continue;
        Section found { i, int(m_lines.size()) };
        for (int j = i + 1; j < m_lines.size(); ++j) {
            if (isSectionHeader(m_lines[j].trimmed())) {
                found.end = j;
                break;
            }
        }
        return found;
    }
    return std::nullopt;
}

int ProfileFile::findKey(const Section &section, const QString &key) const
{
    for (int i = section.header + 1; i < section.end; ++i) {
        const QString line = m_lines[i].trimmed();
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || isComment(line))
            continue;
        if (line.left(eq).trimmed().compare(key.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> ProfileFile::value(const QString &section, const QString &key) const
{
    const auto found = findSection(section);
    if (!found)
        return std::nullopt;
    const int line = findKey(*found, key);
    if (line < 0)
        return std::nullopt;
    const QString &text = m_lines[line];
    const QString value = text.mid(text.indexOf(u'=') + 1).trimmed();
    return isQuoted(value) ? value.mid(1, value.size() - 2) : value;
}

QString ProfileFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return value(section, key).value_or(defaultValue);
}

int ProfileFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const auto text = value(section, key);
    if (!text)
        return defaultValue;
    return parseInteger(*text).value_or(defaultValue);
}

bool ProfileFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

QTime ProfileFile::readTime(const QString &section, const QString &key, const QTime &defaultValue) const
{
    const auto text = value(section, key);
    if (!text)
        return defaultValue;
    return parseTime(*text).value_or(defaultValue);
}

void ProfileFile::writeString(const QString &section, const QString &key, const QString &value)
{
    QString clean = value;
    clean.replace(u'\r', u' ').replace(u'\n', u' ');
    // Outer blanks and outer quotes would be lost on reading: quoted, they stay.
    if (clean != clean.trimmed() || isQuoted(clean))
        clean = u'"' + clean + u'"';
    const auto found = findSection(section);
    if (!found) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines << QString();
        m_lines << u'[' + section + u']' << key + u'=' + clean;
        return;
    }
    const int line = findKey(*found, key);
    if (line >= 0) {
        // The file's own spelling of the key stays.
        const QString &old = m_lines[line];
        m_lines[line] = old.left(old.indexOf(u'=')).trimmed() + u'=' + clean;
        return;
    }
    // After the section's last line that is not blank, so that the blank line
    // before the next section stays where it is.
    int insertAt = found->header + 1;
    for (int i = found->end - 1; i > found->header; --i) {
        if (!m_lines[i].trimmed().isEmpty()) {
            insertAt = i + 1;
            break;
        }
    }
    m_lines.insert(insertAt, key + u'=' + clean);
}

void ProfileFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void ProfileFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void ProfileFile::writeTime(const QString &section, const QString &key, const QTime &value)
{
    writeString(section, key, timeText(value));
}

bool ProfileFile::save()
{
    const auto fail = [this](const QString &reason) {
        m_error = QStringLiteral("Unable to write to %1: %2").arg(QDir::toNativeSeparators(m_path), reason);
        return false;
    };
    m_error.clear();
    // The old file could not be read, so its other lines are unknown: writing
    // now would lose them.
    if (!m_readError.isEmpty())
        return fail(m_readError);
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(folder)));

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // QSaveFile gives the new file the old one's mode; the database password
    // is kept here, so only the owner may read it.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return fail(file.errorString());
    const QString eol = m_crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text = m_lines.join(eol);
    if (!m_lines.isEmpty())
        text += eol;
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size())
        return fail(file.errorString());
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

QString ProfileFile::timeText(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

std::optional<QTime> ProfileFile::parseTime(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,2}):([0-9]{1,2})(?::([0-9]{1,2}))?$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int hour = match.captured(1).toInt();
    const int minute = match.captured(2).toInt();
    const int second = match.hasCaptured(3) ? match.captured(3).toInt() : 0;
    if (!QTime::isValid(hour, minute, second))
        return std::nullopt;
    return QTime(hour, minute, second);
}
