#pragma once

#include "TFileVersion.h"

#include <QObject>
#include <QSqlDatabase>
#include <QStringList>

// A window's translation component (objectName "Language1"): applies the
// texts stored for the window and the language in db/Language.db beside the
// program, holds the window's numbered messages and captures the window's
// current texts for a translator. It has its own connection to the
// translation database, independent of the hotel database.
class TLanguage : public QObject {
    Q_OBJECT
    Q_PROPERTY(int LanguageID READ languageId WRITE setLanguageId)
    Q_PROPERTY(bool Active READ active WRITE setActive)
    Q_PROPERTY(TFileVersion *AppVersion READ appVersion)
    Q_PROPERTY(QStringList Variable READ variable)

public:
    // Opens (or creates) the translation database. A failure does not throw:
    // it is kept in openError() and every later database call raises it.
    explicit TLanguage(QObject *owner);
    ~TLanguage() override;

    int languageId() const { return m_languageId; }
    void setLanguageId(int id) { m_languageId = id; }
    // Reads false always; writing true applies the translation.
    bool active() const { return false; }
    void setActive(bool on);
    TFileVersion *appVersion() { return &m_version; }
    QStringList variable() const { return m_variable; }
    void setVariable(const QStringList &lines) { m_variable = lines; }

    // "" when the database opened; otherwise the database's text.
    const QString &openError() const { return m_openError; }
    // The window's name in the translation database: its objectName.
    QString formName() const;
    QString appName() const { return m_version.productName(); }

    // Loads the window's messages and applies its component texts; throws DbError.
    void ApplyLanguage();
    // Line n of the messages; "" beyond the list or outside 0 to 255.
    QString MessageText(int n) const;
    // Title of the window's first Dialog_Table row with DialogID d, by ID; ""
    // without one (or when the database could not be opened).
    QString DialogTitle(int d);
    // Writes the window's current texts as its rows for this language, after
    // asking when rows exist; the old rows stay when anything fails. Throws DbError.
    void CaptureForm();

    // Creates an empty translation database at path with both tables, on this
    // component's connection.
    void CreateLanguageDatabase(const QString &path);
    // Creates both tables on an open database.
    static void createTables(const QSqlDatabase &db);

    QSqlDatabase database() const; // throws the open error

private:
    void openDatabase();

    QString m_connectionName;
    QSqlDatabase m_db;
    QString m_openError;
    TFileVersion m_version;
    QStringList m_variable;
    int m_languageId = 0;
};
