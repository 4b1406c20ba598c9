#pragma once

#include <QString>
#include <QTemporaryDir>

// A program folder and a configuration folder of the test's own, both
// temporary, installed in the Paths seam for the life of the object. The
// encoder simulator keeps its state file in the configuration folder.
class TestEnv
{
public:
    TestEnv();
    ~TestEnv();
    TestEnv(const TestEnv &) = delete;
    TestEnv &operator=(const TestEnv &) = delete;

    QString programDir() const { return m_program.path(); }
    QString configDir() const { return m_config.path(); }
    QString programFile(const QString &relative) const;
    QString profilePath() const;

    // Writes Keldrix.ini with the given text (UTF-8).
    void writeProfile(const QByteArray &content) const;
    // Copies a file or folder of the build's program folder (build/bin) into
    // the test's program folder: "libHotelLock.so", "Dll", "db/Language.db".
    void copyFromBin(const QString &relative) const;

    // The build's program folder (TARVANE_BIN_DIR, set by CTest).
    static QString binDir();

private:
    QTemporaryDir m_program;
    QTemporaryDir m_config;
    QByteArray m_oldState;
};
