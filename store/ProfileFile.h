#pragma once

#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

// A profile (INI) file read and written line by line, as the program's own
// reader: names match without regard to case, values are trimmed, a comma is
// just a character, and a write keeps every other line as it was.
class ProfileFile {
public:
    explicit ProfileFile(const QString &path); // reads the file if it exists

    const QString &path() const { return m_path; }

    std::optional<QString> value(const QString &section, const QString &key) const;
    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    // Signed decimal, or hexadecimal after "$" or "0x"; anything else, or a
    // value beyond 32 bits, gives the default.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;
    // "H:mm" or "H:mm:ss"; anything else gives the default.
    QTime readTime(const QString &section, const QString &key, const QTime &defaultValue) const;

    // Changes are kept in memory until save().
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value);
    void writeTime(const QString &section, const QString &key, const QTime &value); // HH:mm:ss

    // Writes the whole file at once (created with its folder when missing),
    // mode 0600. False with errorString() set when it could not be written;
    // the old file is then untouched.
    bool save();
    const QString &errorString() const { return m_error; }

    // Text of a time as the program writes it.
    static QString timeText(const QTime &time);
    static std::optional<QTime> parseTime(const QString &text);

private:
    struct Section {
        int header = -1; // line of "[name]"
        int end = 0; // one past its last line
    };
    std::optional<Section> findSection(const QString &section) const;
    int findKey(const Section &section, const QString &key) const; // -1 when absent

    QString m_path;
    QStringList m_lines;
    QString m_error;
    QString m_readError; // set when an existing file could not be read: saving would lose it
    bool m_crlf = false; // the file's own line ends are kept
};
