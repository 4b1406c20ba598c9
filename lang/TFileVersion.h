#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include <cstdint>

// The version information of a program: its translation entries and its
// string tables, keyed "StringFileInfo\<translation key>\<name>".
struct VersionBlock {
    struct Translation {
        uint16_t language = 0;
        uint16_t codePage = 0;
    };
    QList<Translation> translations;
    QMap<QString, QString> strings;

    bool isEmpty() const { return translations.isEmpty() && strings.isEmpty(); }
    // The block this program was built with (ProductName, FileVersion, ...).
    static VersionBlock program();
};

// Reads named values from the version information of the running program.
class TFileVersion {
public:
    TFileVersion(); // the running program's own block
    explicit TFileVersion(VersionBlock block); // an empty block: no version information

    // First translation entry as eight hex digits ("080403a8"); "" without one.
    QString translationKey() const;
    // The value trimmed of blanks and control characters; "" when absent.
    QString value(const QString &name) const;
    QString fileVersion() const { return value(QStringLiteral("FileVersion")); }
    QString productName() const { return value(QStringLiteral("ProductName")); }

private:
    VersionBlock m_block;
};
