#include "TFileVersion.h"

#include "VersionTable.h"

namespace {
bool isBlankOrControl(QChar c)
{
    return c.isSpace() || c.category() == QChar::Other_Control || c == QChar(0);
}

QString stripped(const QString &text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlankOrControl(text.at(from)))
        ++from;
    while (to > from && isBlankOrControl(text.at(to - 1)))
        --to;
    return text.mid(from, to - from);
}
} // namespace

VersionBlock VersionBlock::program()
{
    VersionBlock block;
    block.translations.append({ VersionTable::LanguageWord, VersionTable::CodePageWord });
    const QString prefix = QStringLiteral("StringFileInfo\\%1%2\\")
                               .arg(VersionTable::LanguageWord, 4, 16, QLatin1Char('0'))
                               .arg(VersionTable::CodePageWord, 4, 16, QLatin1Char('0'));
    const auto put = [&](const char *name, const char *value) {
        block.strings.insert(prefix + QLatin1String(name), QString::fromUtf8(value));
    };
    put("CompanyName", VersionTable::CompanyName);
    put("FileDescription", VersionTable::FileDescription);
    put("FileVersion", VersionTable::FileVersion);
    put("ProductName", VersionTable::ProductName);
    put("ProductVersion", VersionTable::ProductVersion);
    put("Comments", VersionTable::Comments);
    return block;
}

TFileVersion::TFileVersion()
    : m_block(VersionBlock::program())
{
}

TFileVersion::TFileVersion(VersionBlock block)
    : m_block(std::move(block))
{
}

QString TFileVersion::translationKey() const
{
    if (m_block.translations.isEmpty())
        return {};
    const VersionBlock::Translation &first = m_block.translations.first();
    return QStringLiteral("%1%2")
        .arg(first.language, 4, 16, QLatin1Char('0'))
        .arg(first.codePage, 4, 16, QLatin1Char('0'));
}

QString TFileVersion::value(const QString &name) const
{
    const QString key = translationKey();
    if (key.isEmpty() || name.isEmpty())
        return {};
    // Version resources look names up without regard to case.
    const QString path = QStringLiteral("StringFileInfo\\") + key + QLatin1Char('\\') + name;
    for (auto it = m_block.strings.cbegin(); it != m_block.strings.cend(); ++it) {
        if (it.key().compare(path, Qt::CaseInsensitive) == 0)
            return stripped(it.value());
    }
    return {};
}
