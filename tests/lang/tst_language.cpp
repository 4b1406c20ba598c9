#include "PublishedProperties.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "SystemInfo_Form.h"
#include "TestEnv.h"
#include "TLanguage.h"
#include "Translation.h"
#include "TranslationHooks.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

// A window laid out like the program's: named controls, then its translation
// component and capture prompt.
class TestForm : public QDialog {
public:
    explicit TestForm(CapturePrompt variant = CapturePrompt::Standard, const char *name = "Test_Form")
    {
        setObjectName(QLatin1String(name));
        setWindowTitle(QStringLiteral("Designed title"));
        label = new QLabel(QStringLiteral("Designed label"), this);
        label->setObjectName(QStringLiteral("Label1"));
        button = new QPushButton(QStringLiteral("OK"), this);
        button->setObjectName(QStringLiteral("Button1"));
        edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("Edit1"));
        grid = new QTableWidget(0, 3, this);
        grid->setObjectName(QStringLiteral("Grid1"));
        grid->setHorizontalHeaderLabels({ QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C") });
        grid->setColumnHidden(1, true);
        list = new QTreeWidget(this);
        list->setObjectName(QStringLiteral("List1"));
        list->setHeaderLabels({ QStringLiteral("L0"), QStringLiteral("L1"), QStringLiteral("L2") });
        combo = new QComboBox(this);
        combo->setObjectName(QStringLiteral("Combo1"));
        combo->addItems({ QStringLiteral("x"), QStringLiteral("y") });
        language = translateWindow(this);
        installCapturePrompt(this, variant);
    }

    QLabel *label;
    QPushButton *button;
    QLineEdit *edit;
    QTableWidget *grid;
    QTreeWidget *list;
    QComboBox *combo;
    TLanguage *language;
};

QString headers(QAbstractItemView *view)
{
    QStringList texts;
    for (int c = 0; c < view->model()->columnCount(); ++c)
        texts.append(view->model()->headerData(c, Qt::Horizontal).toString());
    return texts.join(QLatin1Char('|'));
}

// What a control shows, in one text, for comparing.
QString shown(TestForm &form, const QString &component)
{
    if (component == QLatin1String("Button1"))
        return form.button->objectName() + QLatin1Char('=') + form.button->text() + QLatin1Char('/')
            + form.button->toolTip();
    if (component == QLatin1String("Label1"))
        return form.label->text();
    if (component == QLatin1String("Edit1"))
        return form.edit->text();
    if (component == QLatin1String("Grid1"))
        return headers(form.grid) + QLatin1Char('/') + form.grid->toolTip();
    if (component == QLatin1String("List1"))
        return headers(form.list) + QLatin1Char('/') + form.list->toolTip();
    if (component == QLatin1String("Combo1"))
        return form.combo->itemText(0) + QLatin1Char('|') + form.combo->itemText(1) + QLatin1Char('/')
            + form.combo->toolTip();
    return form.windowTitle();
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<ScriptedPrompts> m_prompts;

    QString dbPath() const { return m_env->programFile(QStringLiteral("db/Language.db")); }

    // A connection of the test's own to the window's translation database.
    QSqlDatabase db()
    {
        QSqlDatabase d = QSqlDatabase::database(QStringLiteral("test"), false);
        if (!d.isValid())
            d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test"));
        if (!d.isOpen()) {
            QDir().mkpath(m_env->programFile(QStringLiteral("db")));
            const bool fresh = !QFile::exists(dbPath());
            d.setDatabaseName(dbPath());
            if (!d.open())
                qFatal("cannot open the test database");
            if (fresh)
                TLanguage::createTables(d);
        }
        return d;
    }
    void run(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery q(db());
        QVERIFY2(q.prepare(sql), qPrintable(q.lastError().text()));
        for (const QVariant &v : values)
            q.addBindValue(v);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
    void addComponent(const QString &form, const QString &component, const QString &text, int languageId = 2052,
        const QString &appName = QStringLiteral("Tarvane"))
    {
        run(QStringLiteral("insert into Component_Table (AppName, FormName, ComponentName, LanguageID, "
                           "ComponentClass, ComponentProperty) values (?, ?, ?, ?, 'X', ?)"),
            { appName, form, component, languageId, text });
    }
    void addDialog(const QString &form, const QString &messages, int dialogId = 0,
        const QString &title = QStringLiteral(""), int languageId = 2052,
        const QString &appName = QStringLiteral("Tarvane"))
    {
        run(QStringLiteral("insert into Dialog_Table (AppName, FormName, DialogID, LanguageID, Title, MessageStr) "
                           "values (?, ?, ?, ?, ?, ?)"),
            { appName, form, dialogId, languageId, title, messages });
    }
    // Rows of a window: "ComponentName|ComponentClass|ComponentProperty", by ID.
    QStringList componentRows(const QString &form, int languageId = 2052)
    {
        QSqlQuery q(db());
        q.prepare(QStringLiteral("select ComponentName, ComponentClass, ComponentProperty, AppName from "
                                 "Component_Table where FormName=? and LanguageID=? order by ID"));
        q.addBindValue(form);
        q.addBindValue(languageId);
        q.exec();
        QStringList rows;
        while (q.next()) {
            if (q.value(3).toString() != QLatin1String("Tarvane"))
                rows.append(QStringLiteral("bad AppName"));
            rows.append(q.value(0).toString() + QLatin1Char('|') + q.value(1).toString() + QLatin1Char('|')
                + q.value(2).toString());
        }
        return rows;
    }
    void closeDb()
    {
        QSqlDatabase::database(QStringLiteral("test"), false).close();
        QSqlDatabase::removeDatabase(QStringLiteral("test"));
    }
    void pressCaptureKeys(QWidget *target, Qt::KeyboardModifiers modifiers = Qt::ControlModifier | Qt::AltModifier)
    {
        QTest::keyClick(target, Qt::Key_F12, modifiers);
    }
    // Script for the standard prompt answered with code; then OK to "clear and rebuild".
    void answerPrompt(const std::optional<QString> &code, bool rowsExist = false)
    {
        m_prompts->answerOk();
        m_prompts->answerText(code);
        if (rowsExist)
            m_prompts->answerOk();
    }

private Q_SLOTS:
    void init();
    void cleanup();

    void creationMakesFolderAndTables();
    void brokenDatabaseShowsOneErrorAndDesignedTexts_data();
    void brokenDatabaseShowsOneErrorAndDesignedTexts();

    void applyPropertyLines_data();
    void applyPropertyLines();
    void windowRowAndNamesInOtherCase();
    void laterDialogRowWins();
    void noRowsKeepDesignedTexts();
    void notAppliedWhileTranslationInactive();
    void messageText_data();
    void messageText();
    void dialogTitle();
    void rowsChosenByLanguageAndAppName();
    void capturedVariableOverridesMessages_data();
    void capturedVariableOverridesMessages();

    void captureWritesPropertyText();
    void secondCaptureAsks();
    void captureFailingHalfWayKeepsOldRows();

    void promptCaptures_data();
    void promptCaptures();
    void promptDoesNothing_data();
    void promptDoesNothing();
    void promptFromMessages();
    void promptOnlyWhileInactive_data();
    void promptOnlyWhileInactive();

    void hooksTranslateAndCaptureSettingsWindow();
};

void TestLanguage::init()
{
    m_env = std::make_unique<TestEnv>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    SystemSettings = TSystemSettings();
    SystemSettings.LanguageID = 2052;
    SystemSettings.TranslationActive = true;
}

void TestLanguage::cleanup()
{
    closeDb();
    QCOMPARE(m_prompts->pendingAnswers(), 0);
    m_prompts.reset();
    m_env.reset();
    translationHooks() = TranslationHooks();
}

void TestLanguage::creationMakesFolderAndTables()
{
    QVERIFY(!QDir(m_env->programFile(QStringLiteral("db"))).exists());
    {
        TestForm form;
        QCOMPARE(form.language->objectName(), QStringLiteral("Language1"));
        QCOMPARE(form.language->openError(), QString());
        QVERIFY(m_prompts->asked.isEmpty());
        QCOMPARE(form.language->MessageText(0), QString());
        QCOMPARE(form.windowTitle(), QStringLiteral("Designed title"));
    }
    QVERIFY(QFile::exists(dbPath()));
    const auto columns = [&](const QString &table) {
        QSqlQuery q(db());
        q.exec(QStringLiteral("pragma table_info(%1)").arg(table));
        QStringList cols;
        while (q.next())
            cols.append(q.value(1).toString() + QLatin1Char(' ') + q.value(2).toString().toLower()
                + (q.value(3).toBool() ? QStringLiteral(" not null") : QString()));
        return cols;
    };
    QCOMPARE(columns(QStringLiteral("Component_Table")),
        QStringList({ "ID integer", "AppName varchar(50) not null", "FormName varchar(50) not null",
            "ComponentName varchar(50) not null", "LanguageID int not null", "ComponentClass varchar(50)",
            "ComponentProperty text" }));
    QCOMPARE(columns(QStringLiteral("Dialog_Table")),
        QStringList(
            { "ID integer", "AppName varchar(50) not null", "FormName varchar(50) not null", "DialogID int not null",
                "LanguageID int not null", "Title varchar(255) not null", "MessageStr varchar(255) not null" }));
}

void TestLanguage::brokenDatabaseShowsOneErrorAndDesignedTexts_data()
{
    QTest::addColumn<bool>("folderIsFile");
    QTest::addColumn<bool>("active");
    QTest::newRow("Language.db is a text file") << false << true;
    QTest::newRow("text file, translation inactive") << false << false;
    QTest::newRow("db is a file, no folder can be made") << true << true;
}

void TestLanguage::brokenDatabaseShowsOneErrorAndDesignedTexts()
{
    QFETCH(bool, folderIsFile);
    QFETCH(bool, active);
    SystemSettings.TranslationActive = active;
    const QString broken = folderIsFile ? m_env->programFile(QStringLiteral("db")) : dbPath();
    QDir().mkpath(QFileInfo(broken).absolutePath());
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("This is not a database, just a note left by someone.\n").repeated(20));
    file.close();
    const QByteArray before = [&] {
        QFile f(broken);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    m_prompts->answerOk();
    TestForm form;
    QCOMPARE(m_prompts->asked.size(), 1);
    QCOMPARE(m_prompts->last().icon, QMessageBox::Critical);
    QCOMPARE(m_prompts->last().title, QStringLiteral("Tarvane V12.0"));
    QVERIFY(!m_prompts->last().text.isEmpty());
    QCOMPARE(form.windowTitle(), QStringLiteral("Designed title"));
    QCOMPARE(form.label->text(), QStringLiteral("Designed label"));
    QCOMPARE(form.language->MessageText(0), QString());
    QCOMPARE(form.language->DialogTitle(0), QString());

    // The settings window, made through the hooks, opens too.
    installTranslationHooks();
    m_prompts->answerOk();
    TSystemInfo_Form settings;
    QCOMPARE(m_prompts->asked.size(), 2);
    QCOMPARE(settings.windowTitle(), u8("基本参数设置"));

    QFile after(broken);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

void TestLanguage::applyPropertyLines_data()
{
    QTest::addColumn<QString>("component");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("caption") << "Button1"
                             << "Caption:Go\r\n"
                             << "Button1=Go/";
    QTest::newRow("empty caption") << "Button1"
                                   << "Caption:\r\n"
                                   << "Button1=/";
    QTest::newRow("caption keeps further colons") << "Button1"
                                                  << "Caption:a:b\r\nHint:h"
                                                  << "Button1=a:b/h";
    QTest::newRow("Name never set") << "Button1"
                                    << "Name:Other\r\nCaption:Go"
                                    << "Button1=Go/";
    QTest::newRow("a NAME property, unknown property skipped") << "Button1"
                                                               << "FontName:Arial\r\nBogus:1\r\nno colon\r\nCaption:Go"
                                                               << "Button1=Go/";
    QTest::newRow("property names in other case") << "Button1"
                                                  << "caption:Go\r\nHINT:h"
                                                  << "Button1=Go/h";
    QTest::newRow("label") << "Label1"
                           << "Name:Label1\r\nCaption:标签\r\n"
                           << "标签";
    QTest::newRow("line edit text") << "Edit1"
                                    << "Text:typed\r\n"
                                    << "typed";
    QTest::newRow("caption is not a line edit property") << "Edit1"
                                                         << "Caption:x\r\n"
                                                         << "";
    QTest::newRow("list view columns, then the next line")
        << "List1"
        << "Columns:ListColumns\r\n   0:Room\r\n   1:Guest\r\n   2:Until\r\nHint:tip\r\n"
        << "Room|Guest|Until/tip";
    QTest::newRow("grid columns, hidden one included")
        << "Grid1"
        << "Columns:GridColumns\r\n   0:One\r\n   1:Two\r\n   2:Three\r\nHint:tip"
        << "One|Two|Three/tip";
    QTest::newRow("columns take the lines whatever they hold")
        << "Grid1"
        << "Columns:GridColumns\r\n   0:One\r\nHint:tip\r\n   2:Three"
        << "One|tip|Three/";
    QTest::newRow("columns cut short by the end of the text") << "Grid1"
                                                              << "Columns:GridColumns\r\n   0:One"
                                                              << "One|B|C/";
    QTest::newRow("combo items") << "Combo1"
                                 << "Items:Strings\r\n          0:one\r\n          1:two\r\nHint:h"
                                 << "one|two/h";
    QTest::newRow("combo items, one line missing") << "Combo1"
                                                   << "Items:Strings\r\n          0:one"
                                                   << "x|y/";
    QTest::newRow("LF and CR line ends") << "Combo1"
                                         << "Items:Strings\n          0:one\r          1:two"
                                         << "one|two/";
    QTest::newRow("unknown component skipped") << "Missing1"
                                               << "Caption:Nothing"
                                               << "Designed title";
}

void TestLanguage::applyPropertyLines()
{
    QFETCH(QString, component);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    addComponent(QStringLiteral("Test_Form"), component, text);
    TestForm form;
    QCOMPARE(shown(form, component), expected);
    QVERIFY(m_prompts->asked.isEmpty());
}

void TestLanguage::windowRowAndNamesInOtherCase()
{
    addComponent(QStringLiteral("TEST_form"), QStringLiteral("test_FORM"), QStringLiteral("Caption:Window\r\nHint:w"));
    addComponent(QStringLiteral("test_form"), QStringLiteral("LABEL1"), QStringLiteral("Caption:Label"));
    addComponent(QStringLiteral("Test_Form"), QStringLiteral("Language1"), QStringLiteral("Caption:x"), 2052,
        QStringLiteral("TARVANE"));
    TestForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Window"));
    QCOMPARE(form.toolTip(), QStringLiteral("w"));
    QCOMPARE(form.label->text(), QStringLiteral("Label"));
    QCOMPARE(form.objectName(), QStringLiteral("Test_Form"));
}

void TestLanguage::laterDialogRowWins()
{
    addDialog(QStringLiteral("Test_Form"), QStringLiteral("a first 0\r\na first 1"));
    addDialog(QStringLiteral("Test_Form"), QStringLiteral("b second 0\r\nb second 1\r\n"));
    // An index that hands the rows back in another order than they were made.
    run(QStringLiteral("create index Dialog_ByText on Dialog_Table (FormName COLLATE NOCASE, MessageStr DESC)"));
    TestForm form;
    QCOMPARE(form.language->variable(), QStringList({QStringLiteral("b second 0"), QStringLiteral("b second 1")}));
}

void TestLanguage::noRowsKeepDesignedTexts()
{
    addComponent(QStringLiteral("Other_Form"), QStringLiteral("Label1"), QStringLiteral("Caption:Other"));
    addDialog(QStringLiteral("Other_Form"), QStringLiteral("other"));
    TestForm form;
    QCOMPARE(form.label->text(), QStringLiteral("Designed label"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Designed title"));
    QCOMPARE(form.language->variable(), QStringList());
    QCOMPARE(form.language->MessageText(0), QString());
}

void TestLanguage::notAppliedWhileTranslationInactive()
{
    SystemSettings.TranslationActive = false;
    addComponent(QStringLiteral("Test_Form"), QStringLiteral("Label1"), QStringLiteral("Caption:Translated"));
    addDialog(QStringLiteral("Test_Form"), QStringLiteral("message"));
    TestForm form;
    QCOMPARE(form.label->text(), QStringLiteral("Designed label"));
    QCOMPARE(form.language->MessageText(0), QString());
    form.language->setProperty("Active", true);
    QCOMPARE(form.label->text(), QStringLiteral("Translated"));
    QCOMPARE(form.language->MessageText(0), QStringLiteral("message"));
    QCOMPARE(form.language->property("Active").toBool(), false);
}

void TestLanguage::messageText_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0 << "zero";
    QTest::newRow("empty line kept") << 1 << "";
    QTest::newRow("last") << 2 << "two";
    QTest::newRow("beyond the list") << 3 << "";
    QTest::newRow("negative") << -1 << "";
    QTest::newRow("beyond 255") << 256 << "";
}

void TestLanguage::messageText()
{
    QFETCH(int, number);
    QFETCH(QString, expected);
    addDialog(QStringLiteral("Test_Form"), QStringLiteral("zero\r\n\r\ntwo\r\n"));
    TestForm form;
    QCOMPARE(form.language->variable().size(), 3);
    QCOMPARE(form.language->MessageText(number), expected);
}

void TestLanguage::dialogTitle()
{
    addDialog(QStringLiteral("Test_Form"), QStringLiteral("m"), 0, QStringLiteral("Title 0"));
    addDialog(QStringLiteral("Test_Form"), QStringLiteral("m"), 3, QStringLiteral("Title 3a"));
    addDialog(QStringLiteral("Test_Form"), QStringLiteral("m"), 3, QStringLiteral("Title 3b"));
    addDialog(QStringLiteral("Test_Form"), QStringLiteral("m"), 4, QStringLiteral("Other language"), 1033);
    TestForm form;
    QCOMPARE(form.language->DialogTitle(0), QStringLiteral("Title 0"));
    QCOMPARE(form.language->DialogTitle(3), QStringLiteral("Title 3a"));
    QCOMPARE(form.language->DialogTitle(4), QString());
    QCOMPARE(form.language->DialogTitle(9), QString());
}

void TestLanguage::rowsChosenByLanguageAndAppName()
{
    addComponent(QStringLiteral("Test_Form"), QStringLiteral("Label1"), QStringLiteral("Caption:English"), 1033);
    addComponent(QStringLiteral("Test_Form"), QStringLiteral("Label1"), QStringLiteral("Caption:Other program"), 2052,
        QStringLiteral("Other"));
    addDialog(QStringLiteral("Test_Form"), QStringLiteral("english"), 0, QStringLiteral(""), 1033);
    addDialog(QStringLiteral("Test_Form"), QStringLiteral("other program"), 0, QStringLiteral(""), 2052,
        QStringLiteral("Other"));
    {
        TestForm form;
        QCOMPARE(form.label->text(), QStringLiteral("Designed label"));
        QCOMPARE(form.language->MessageText(0), QString());
    }
    SystemSettings.LanguageID = 1033;
    TestForm form;
    QCOMPARE(form.language->languageId(), 1033);
    QCOMPARE(form.label->text(), QStringLiteral("English"));
    QCOMPARE(form.language->MessageText(0), QStringLiteral("english"));
}

void TestLanguage::capturedVariableOverridesMessages_data()
{
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("all lines present") << "Variable:Strings\r\n          0:own 0\r\n          1:own 1\r\n"
                                       << QStringList({ "own 0", "own 1" });
    QTest::newRow("one line missing") << "Variable:Strings\r\n          0:own 0\r\n"
                                      << QStringList({ "table 0", "table 1" });
}

void TestLanguage::capturedVariableOverridesMessages()
{
    QFETCH(QString, variable);
    QFETCH(QStringList, expected);
    addDialog(QStringLiteral("Test_Form"), QStringLiteral("table 0\r\ntable 1"));
    addComponent(QStringLiteral("Test_Form"), QStringLiteral("Language1"),
        QStringLiteral("Name:Language1\r\nAppVersion:FileVersion\r\n") + variable);
    TestForm form;
    QCOMPARE(form.language->variable(), expected);
}

void TestLanguage::captureWritesPropertyText()
{
    addDialog(QStringLiteral("Small_Form"), QStringLiteral("m0\r\nm1"));
    QDialog form;
    form.setObjectName(QStringLiteral("Small_Form"));
    form.setWindowTitle(u8("小窗口"));
    form.setToolTip(QStringLiteral("window tip"));
    auto *label = new QLabel(u8("标签"), &form);
    label->setObjectName(QStringLiteral("Label1"));
    auto *panel = new QWidget(&form); // unnamed: not captured, its named child is
    auto *edit = new QLineEdit(QStringLiteral("abc"), panel);
    edit->setObjectName(QStringLiteral("Edit1"));
    edit->setToolTip(QStringLiteral("tip"));
    auto *combo = new QComboBox(&form);
    combo->setObjectName(QStringLiteral("Combo1"));
    combo->addItems({ QStringLiteral("a"), QStringLiteral("b") });
    auto *grid = new QTableWidget(0, 2, &form);
    grid->setObjectName(QStringLiteral("Grid1"));
    grid->setHorizontalHeaderLabels({ u8("房号"), QStringLiteral("Guest") });
    auto *internal = new QObject(&form);
    internal->setObjectName(QStringLiteral("qt_internal"));
    QObject orphan; // made without an owner: not captured
    orphan.setObjectName(QStringLiteral("Orphan"));
    translateWindow(&form);

    answerPrompt(QStringLiteral("quorm"));
    runCapturePrompt(&form);
    QCOMPARE(componentRows(QStringLiteral("Small_Form")),
        QStringList({
            u8("Label1|QLabel|Name:Label1\r\nCaption:标签\r\nHint:\r\n"),
            QStringLiteral("Edit1|QLineEdit|Name:Edit1\r\nText:abc\r\nHint:tip\r\n"),
            QStringLiteral("Combo1|QComboBox|Name:Combo1\r\nHint:\r\nItems:Strings\r\n"
                           "          0:a\r\n          1:b\r\n"),
            u8("Grid1|QTableWidget|Name:Grid1\r\nHint:\r\nColumns:GridColumns\r\n   0:房号\r\n   1:Guest\r\n"),
            QStringLiteral("Language1|TLanguage|Name:Language1\r\nAppVersion:FileVersion\r\nVariable:Strings\r\n"
                           "          0:m0\r\n          1:m1\r\n"),
            u8("Small_Form|QDialog|Name:Small_Form\r\nCaption:小窗口\r\nHint:window tip\r\n"),
        }));
}

void TestLanguage::secondCaptureAsks()
{
    TestForm form;
    answerPrompt(QStringLiteral("quorm"));
    runCapturePrompt(&form);
    const QStringList first = componentRows(QStringLiteral("Test_Form"));
    QVERIFY(first.size() >= 8);
    QCOMPARE(m_prompts->asked.size(), 2);

    form.label->setText(QStringLiteral("Changed"));
    m_prompts->answerOk();
    m_prompts->answerText(QStringLiteral("quorm"));
    m_prompts->answerCancel();
    runCapturePrompt(&form);
    QCOMPARE(m_prompts->asked.size(), 5);
    QCOMPARE(m_prompts->last().title, u8("提示"));
    QCOMPARE(m_prompts->last().text, u8("窗体中的内容已经存在是否清除重建？"));
    QCOMPARE(m_prompts->last().icon, QMessageBox::Critical);
    QCOMPARE(m_prompts->last().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(componentRows(QStringLiteral("Test_Form")), first);

    answerPrompt(QStringLiteral("quorm"), true);
    runCapturePrompt(&form);
    const QStringList second = componentRows(QStringLiteral("Test_Form"));
    QCOMPARE(second.size(), first.size());
    QVERIFY(second.join(QString()).contains(QStringLiteral("Caption:Changed\r\n")));
    QVERIFY(!second.join(QString()).contains(QStringLiteral("Designed label")));
}

void TestLanguage::captureFailingHalfWayKeepsOldRows()
{
    addComponent(QStringLiteral("Test_Form"), QStringLiteral("Label1"), QStringLiteral("Caption:Old"));
    run(QStringLiteral("create trigger refuse_third before insert on Component_Table "
                       "when (select count(*) from Component_Table) >= 2 "
                       "begin select raise(abort, 'database or disk is full'); end"));
    TestForm form;
    answerPrompt(QStringLiteral("quorm"), true);
    m_prompts->answerOk(); // the error box
    pressCaptureKeys(form.edit);
    QCOMPARE(m_prompts->asked.size(), 4);
    QCOMPARE(m_prompts->last().icon, QMessageBox::Critical);
    QCOMPARE(m_prompts->last().title, QStringLiteral("Tarvane V12.0"));
    QVERIFY2(m_prompts->last().text.contains(QStringLiteral("database or disk is full")),
        qPrintable(m_prompts->last().text));
    QCOMPARE(componentRows(QStringLiteral("Test_Form")), QStringList({ QStringLiteral("Label1|X|Caption:Old") }));
}

void TestLanguage::promptCaptures_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Ctrl+Alt+F12") << (Qt::ControlModifier | Qt::AltModifier);
    QTest::newRow("Ctrl+Alt+Shift+F12") << (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
}

void TestLanguage::promptCaptures()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    TestForm form;
    form.show();
    form.edit->setFocus();
    answerPrompt(QStringLiteral("quorm"));
    pressCaptureKeys(form.edit, modifiers);
    QCOMPARE(m_prompts->asked.size(), 2);
    const ScriptedPrompts::Asked &box = m_prompts->asked.at(0);
    QCOMPARE(box.kind, ScriptedPrompts::Message);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.title, u8("提示"));
    QCOMPARE(box.text, u8("文件不存在，请重新选择！"));
    QCOMPARE(box.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    const ScriptedPrompts::Asked &input = m_prompts->asked.at(1);
    QCOMPARE(input.kind, ScriptedPrompts::Input);
    QCOMPARE(input.title, u8("验证 "));
    QCOMPARE(input.text, u8("请输入验证码:"));
    QCOMPARE(input.defaultText, QString());
    QVERIFY(componentRows(QStringLiteral("Test_Form")).size() >= 8);
    QCOMPARE(form.edit->text(), QString()); // the key never reached the control
}

void TestLanguage::promptDoesNothing_data()
{
    QTest::addColumn<bool>("firstOk");
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    QTest::newRow("wrong code") << true << std::optional<QString>(QStringLiteral("secret")) << ctrlAlt;
    QTest::newRow("code in other case") << true << std::optional<QString>(QStringLiteral("Quorm")) << ctrlAlt;
    QTest::newRow("code with a blank") << true << std::optional<QString>(QStringLiteral("quorm ")) << ctrlAlt;
    QTest::newRow("empty answer") << true << std::optional<QString>(QString()) << ctrlAlt;
    QTest::newRow("input cancelled") << true << std::optional<QString>() << ctrlAlt;
    QTest::newRow("first box cancelled") << false << std::optional<QString>() << ctrlAlt;
    QTest::newRow("Ctrl+F12 without Alt")
        << false << std::optional<QString>() << Qt::KeyboardModifiers(Qt::ControlModifier);
}

void TestLanguage::promptDoesNothing()
{
    QFETCH(bool, firstOk);
    QFETCH(std::optional<QString>, answer);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    TestForm form;
    const bool offered = modifiers.testFlag(Qt::AltModifier);
    if (offered)
        m_prompts->answer(firstOk ? QMessageBox::Ok : QMessageBox::Cancel);
    if (firstOk)
        m_prompts->answerText(answer);
    pressCaptureKeys(form.button, modifiers);
    QCOMPARE(m_prompts->asked.size(), !offered ? 0 : firstOk ? 2 : 1);
    QCOMPARE(componentRows(QStringLiteral("Test_Form")), QStringList());
}

void TestLanguage::promptFromMessages()
{
    addDialog(QStringLiteral("MC_R_From"),
        u8("记录：\r\n所有卡类型\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n文件不存在，请重新选择！\r\n请输入验证"
           "码:"));
    TestForm form(CapturePrompt::FromMessages, "MC_R_From");
    answerPrompt(QStringLiteral("quorm"));
    pressCaptureKeys(form.combo);
    QCOMPARE(m_prompts->asked.size(), 2);
    QCOMPARE(m_prompts->asked.at(0).title, u8("文件不存在，请重新选择！"));
    QCOMPARE(m_prompts->asked.at(0).text, u8("文件不存在，请重新选择！"));
    QCOMPARE(m_prompts->asked.at(1).title, u8("请输入验证码:"));
    QCOMPARE(m_prompts->asked.at(1).text, u8("请输入验证码:"));
    QVERIFY(!componentRows(QStringLiteral("MC_R_From")).isEmpty());
}

void TestLanguage::promptOnlyWhileInactive_data()
{
    QTest::addColumn<bool>("active");
    QTest::newRow("translation active: not offered") << true;
    QTest::newRow("translation inactive: offered") << false;
}

void TestLanguage::promptOnlyWhileInactive()
{
    QFETCH(bool, active);
    SystemSettings.TranslationActive = active;
    TestForm form(CapturePrompt::WhileInactive, "RoomInfo_Form");
    if (!active)
        answerPrompt(QStringLiteral("quorm"));
    pressCaptureKeys(form.grid);
    QCOMPARE(m_prompts->asked.size(), active ? 0 : 2);
    QCOMPARE(componentRows(QStringLiteral("RoomInfo_Form")).isEmpty(), active);
}

void TestLanguage::hooksTranslateAndCaptureSettingsWindow()
{
    installTranslationHooks();
    SystemSettings.LanguageID = 1033;
    addComponent(QStringLiteral("SystemInfo_Form"), QStringLiteral("SystemInfo_Form"),
        QStringLiteral("Name:SystemInfo_Form\r\nCaption:Basic settings\r\n"), 1033);
    addComponent(
        QStringLiteral("SystemInfo_Form"), QStringLiteral("Label1"), QStringLiteral("Caption:Hotel name\r\n"), 1033);
    TSystemInfo_Form form;
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("Basic settings"));
    QCOMPARE(form.findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("Hotel name"));
    QVERIFY(m_prompts->asked.isEmpty());

    answerPrompt(QStringLiteral("quorm"), true);
    pressCaptureKeys(form.findChild<QLineEdit *>(QStringLiteral("HotelName_Edit")));
    QCOMPARE(m_prompts->asked.size(), 3);
    const QString rows = componentRows(QStringLiteral("SystemInfo_Form"), 1033).join(QLatin1Char('\n'));
    QVERIFY(rows.contains(QStringLiteral("Button1|QPushButton|Name:Button1\r\nCaption:")));
    QVERIFY(rows.contains(QStringLiteral("Label1|QLabel|Name:Label1\r\nCaption:Hotel name\r\n")));
    QVERIFY(rows.contains(QStringLiteral("SystemInfo_Form|TSystemInfo_Form|Name:SystemInfo_Form\r\nCaption:Basic "
                                         "settings\r\n")));
    QVERIFY(!rows.contains(QStringLiteral("qt_")));
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
