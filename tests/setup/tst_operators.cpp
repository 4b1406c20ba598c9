#include "DataModule.h"
#include "HotelFixture.h"
#include "Operator_Form.h"
#include "OperatorAdmin.h"
#include "Operators.h"
#include "ScriptedPrompts.h"
#include "SetupWindows.h"
#include "Sql.h"
#include "TarvaneApplication.h"
#include "WindowRegistry.h"

#include "Connection.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QTableView>
#include <QTest>

#include <latch>
#include <memory>
#include <mutex>
#include <thread>

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

// What a second desk needs to open its own connection on the same database.
struct ConnectionParameters {
    QString driver, host, database, user, password;
    int port = 0;

    explicit ConnectionParameters(const QSqlDatabase &db)
        : driver(db.driverName())
        , host(db.hostName())
        , database(db.databaseName())
        , user(db.userName())
        , password(db.password())
        , port(db.port())
    {
    }

    QSqlDatabase open(const QString &name) const
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        db.setHostName(host);
        db.setPort(port);
        db.setDatabaseName(database);
        db.setUserName(user);
        db.setPassword(password);
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        configureConnection(db);
        return db;
    }
};

int administrators(const QSqlDatabase &db)
{
    QSqlQuery query = Sql::exec(db, QStringLiteral("SELECT count(*) FROM Operator WHERE OperatorManage"));
    query.next();
    return query.value(0).toInt();
}

int idOf(const QSqlDatabase &db, const QString &login)
{
    const std::optional<OperatorRow> row = findOperator(db, login);
    return row ? row->id : 0;
}

template <typename T> T *child(QWidget *form, const char *name)
{
    T *widget = form->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

// Clicks a box on its indicator: a box stretched by its layout ignores clicks
// beyond its caption.
void tick(QCheckBox *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

} // namespace

class TestOperators : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<HotelFixture> m_hotel;
    std::unique_ptr<ScriptedPrompts> m_prompts;

    void addDialects()
    {
        QTest::addColumn<bool>("postgres");
        QTest::newRow("sqlite") << false;
        QTest::newRow("postgres") << true;
    }

    // A fresh hotel with two administrators and a clerk, on the row's dialect.
    bool openHotel(bool postgres)
    {
        m_prompts.reset();
        m_hotel.reset();
        m_hotel = std::make_unique<HotelFixture>(postgres);
        if (!m_hotel->isOpen())
            return false;
        m_hotel->addOperator(QStringLiteral("admin"), QStringLiteral("123456"), operatorRightColumns());
        m_hotel->addOperator(QStringLiteral("boss"), QStringLiteral("123456"), operatorRightColumns());
        m_hotel->addOperator(QStringLiteral("qiantai"), QStringLiteral("123456"),
            { QStringLiteral("CheckIn"), QStringLiteral("CheckOut") });
        m_prompts = std::make_unique<ScriptedPrompts>();
        return true;
    }

    std::unique_ptr<TOperator_Form> openForm()
    {
        auto form = std::make_unique<TOperator_Form>();
        form->show();
        (void)QTest::qWaitForWindowExposed(form.get());
        return form;
    }

    // Clicks the list row of the operator with this login name.
    void clickRow(TOperator_Form *form, const QString &login)
    {
        QTableView *grid = form->EmployeeInfo_DBGrid;
        QAbstractItemModel *model = grid->model();
        const int loginColumn = dm().Operator_ado()->fieldIndex(QStringLiteral("Staffer"));
        for (int row = 0; row < model->rowCount(); ++row) {
            if (model->index(row, loginColumn).data().toString() != login)
                continue;
            const QModelIndex cell = model->index(row, loginColumn);
            grid->scrollTo(cell);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
            return;
        }
        QFAIL(qPrintable(QStringLiteral("no row for ") + login));
    }

    QString branchOf(const QString &login) const
    {
        QSqlQuery query
            = Sql::exec(m_hotel->db(), QStringLiteral("SELECT Branch FROM Operator WHERE Staffer = ?"), { login });
        return query.next() ? query.value(0).toString() : QStringLiteral("<none>");
    }

private Q_SLOTS:
    void cleanup()
    {
        m_prompts.reset();
        m_hotel.reset();
    }

    // A new operator is stored with his rights and no password; a login name
    // taken in any case, also by another desk a moment before, is refused and
    // the connection stays usable.
    void addRules_data() { addDialects(); }
    void addRules()
    {
        QFETCH(bool, postgres);
        if (!openHotel(postgres))
            QSKIP("no PostgreSQL server configured");
        const QSqlDatabase db = m_hotel->db();
        const OperatorAdmin admin(db);
        const int before = m_hotel->count(QStringLiteral("Operator"));

        QCOMPARE(admin.add({ QStringLiteral("ADMIN"), QStringLiteral("x"), {} }), OperatorAdmin::AddResult::NameTaken);
        {
            const ConnectionParameters desk(db);
            QSqlDatabase other = desk.open(QStringLiteral("other-desk"));
            Sql::exec(other, QStringLiteral("INSERT INTO Operator (Staffer, StafferName) VALUES ('Racer', 'r')"));
            other.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other-desk"));
        QCOMPARE(admin.add({ QStringLiteral("racer"), QStringLiteral("y"), {} }), OperatorAdmin::AddResult::NameTaken);
        QCOMPARE(m_hotel->count(QStringLiteral("Operator")), before + 1);

        QList<bool> rights(operatorRightColumns().size(), false);
        rights[operatorRightColumns().indexOf(QStringLiteral("OperatorManage"))] = true;
        rights[operatorRightColumns().indexOf(QStringLiteral("DistrictInfo"))] = true;
        QCOMPARE(admin.add({ QStringLiteral("a'b"), QStringLiteral("8'01"), rights }), OperatorAdmin::AddResult::Added);
        const std::optional<OperatorRow> row = findOperator(db, QStringLiteral("A'B"));
        QVERIFY(row);
        QCOMPARE(row->staffer, QStringLiteral("a'b"));
        QCOMPARE(row->stafferName, QStringLiteral("8'01"));
        QCOMPARE(row->rights, rights);
        QVERIFY(row->pass.isNull());
        QVERIFY(row->branch.isNull());
    }

    // The first password is stored hashed, the row marked, and set only once.
    void firstPassword_data() { addDialects(); }
    void firstPassword()
    {
        QFETCH(bool, postgres);
        if (!openHotel(postgres))
            QSKIP("no PostgreSQL server configured");
        const QSqlDatabase db = m_hotel->db();
        const OperatorAdmin admin(db);
        QCOMPARE(admin.add({ QStringLiteral("newbie"), QStringLiteral("n"), {} }), OperatorAdmin::AddResult::Added);
        const int id = idOf(db, QStringLiteral("newbie"));
        QVERIFY(admin.setFirstPassword(id, QStringLiteral("pa'ss")));
        const OperatorRow row = *findOperator(db, QStringLiteral("newbie"));
        QVERIFY2(row.pass.startsWith(QLatin1String("$argon2id$")), qPrintable(row.pass));
        QVERIFY(verifyPassword(QStringLiteral("pa'ss"), row.pass));
        QVERIFY(!verifyPassword(QStringLiteral("pass"), row.pass));
        QCOMPARE(row.branch, QString::fromLatin1(MaskedPassword));

        QVERIFY(!admin.setFirstPassword(id, QStringLiteral("other")));
        QCOMPARE(findOperator(db, QStringLiteral("newbie"))->pass, row.pass);
    }

    // Deletion by ID; the last administrator stays, a clerk goes whatever the count.
    void deleteRules_data() { addDialects(); }
    void deleteRules()
    {
        QFETCH(bool, postgres);
        if (!openHotel(postgres))
            QSKIP("no PostgreSQL server configured");
        const QSqlDatabase db = m_hotel->db();
        const OperatorAdmin admin(db);
        const int clerk = idOf(db, QStringLiteral("qiantai"));
        QCOMPARE(admin.remove(idOf(db, QStringLiteral("admin"))), OperatorAdmin::DeleteResult::Deleted);
        QCOMPARE(admin.remove(idOf(db, QStringLiteral("boss"))), OperatorAdmin::DeleteResult::LastAdministrator);
        QCOMPARE(administrators(db), 1);
        QCOMPARE(admin.remove(clerk), OperatorAdmin::DeleteResult::Deleted);
        QCOMPARE(admin.remove(clerk), OperatorAdmin::DeleteResult::Missing);
        QCOMPARE(m_hotel->count(QStringLiteral("Operator")), 1);
        // The refusal left no transaction open behind it.
        QCOMPARE(admin.add({ QStringLiteral("next"), QStringLiteral("n"), {} }), OperatorAdmin::AddResult::Added);
    }

    // Two desks delete the last two administrators at the same moment: one
    // is refused and one administrator remains.
    void concurrentDeletes_data() { addDialects(); }
    void concurrentDeletes()
    {
        QFETCH(bool, postgres);
        if (!openHotel(postgres))
            QSKIP("no PostgreSQL server configured");
        const QSqlDatabase db = m_hotel->db();
        const ConnectionParameters parameters(db);
        const int ids[2] = { idOf(db, QStringLiteral("admin")), idOf(db, QStringLiteral("boss")) };

        std::mutex mutex;
        QList<OperatorAdmin::DeleteResult> results;
        QStringList failures;
        std::latch ready(2);
        const auto desk = [&](int index) {
            const QString name = QStringLiteral("desk-%1").arg(index);
            try {
                QSqlDatabase conn = parameters.open(name);
                ready.arrive_and_wait();
                const OperatorAdmin::DeleteResult result = OperatorAdmin(conn).remove(ids[index]);
                {
                    std::lock_guard lock(mutex);
                    results << result;
                }
                conn.close();
            } catch (const std::exception &error) {
                std::lock_guard lock(mutex);
                failures << QString::fromStdString(error.what());
            }
            QSqlDatabase::removeDatabase(name);
        };
        std::thread first(desk, 0);
        std::thread second(desk, 1);
        first.join();
        second.join();

        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
        QCOMPARE(results.count(OperatorAdmin::DeleteResult::Deleted), 1);
        QCOMPARE(results.count(OperatorAdmin::DeleteResult::LastAdministrator), 1);
        QCOMPARE(administrators(db), 1);
    }

    // Opening: the list shows names and the password column, never Pass, and
    // only Add is enabled.
    void formOpens()
    {
        QVERIFY(openHotel(false));
        auto form = openForm();
        QCOMPARE(form->windowTitle(), u8("操作员权限管理"));
        QTableView *grid = form->EmployeeInfo_DBGrid;
        QStringList titles;
        for (int visual = 0; visual < grid->horizontalHeader()->count(); ++visual) {
            const int logical = grid->horizontalHeader()->logicalIndex(visual);
            if (!grid->isColumnHidden(logical))
                titles << grid->model()->headerData(logical, Qt::Horizontal).toString();
        }
        QCOMPARE(titles, QStringList({ u8("真实姓名"), u8("用户名"), u8("口令") }));
        QCOMPARE(grid->model()->rowCount(), 3);
        QVERIFY(form->Add_BT->isEnabled());
        for (QWidget *off : QList<QWidget *> { form->Save_Bt, form->Delete_Bt, form->Pass1_Edit, form->PassOk_Bt,
                 form->QuanXian_Gb, form->User_Edit, form->StafferName_Edit })
            QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
        QCOMPARE(form->rightBoxes.size(), 16);
        QCOMPARE(child<QCheckBox>(form.get(), "Operator_CB")->text(), u8("操作员权限"));
        QVERIFY(!form->Add_BT->autoDefault());
    }

    // Add, names, select all, save: the states of each step and the stored row.
    void addAndSave()
    {
        QVERIFY(openHotel(false));
        auto form = openForm();
        QTest::mouseClick(form->Add_BT, Qt::LeftButton);
        QVERIFY(form->User_Edit->isEnabled() && form->StafferName_Edit->isEnabled());
        QVERIFY(!form->Add_BT->isEnabled());
        QVERIFY(!form->Save_Bt->isEnabled() && !form->QuanXian_Gb->isEnabled());
        QCOMPARE(QApplication::focusWidget(), form->StafferName_Edit);

        form->StafferName_Edit->insert(u8("张三"));
        QVERIFY(!form->Save_Bt->isEnabled());
        QTest::keyClicks(form->User_Edit, QStringLiteral("zhang"));
        QVERIFY(form->Save_Bt->isEnabled() && form->QuanXian_Gb->isEnabled());
        // Emptying a name turns nothing off again.
        form->User_Edit->clear();
        QVERIFY(form->Save_Bt->isEnabled() && form->QuanXian_Gb->isEnabled());
        QTest::keyClicks(form->User_Edit, QStringLiteral("zhang"));

        tick(form->SelectAll_CB);
        for (QCheckBox *box : form->rightBoxes)
            QVERIFY2(box->isChecked(), qPrintable(box->objectName()));
        tick(form->SelectAll_CB);
        QVERIFY(!form->SelectAll_CB->isChecked());
        for (QCheckBox *box : form->rightBoxes)
            QVERIFY2(box->isChecked(), qPrintable(box->objectName()));
        tick(child<QCheckBox>(form.get(), "Operator_CB"));

        QTest::mouseClick(form->Save_Bt, Qt::LeftButton);
        QVERIFY(m_prompts->asked.isEmpty());
        const std::optional<OperatorRow> row = findOperator(m_hotel->db(), QStringLiteral("zhang"));
        QVERIFY(row);
        QCOMPARE(row->stafferName, u8("张三"));
        QVERIFY(!row->right(QStringLiteral("OperatorManage")));
        QVERIFY(row->right(QStringLiteral("CheckIn")) && row->right(QStringLiteral("DistrictInfo")));
        QVERIFY(row->pass.isNull());
        QCOMPARE(form->EmployeeInfo_DBGrid->model()->rowCount(), 4);
        for (QCheckBox *box : form->rightBoxes)
            QVERIFY(!box->isChecked());
        QVERIFY(form->User_Edit->text().isEmpty() && form->StafferName_Edit->text().isEmpty());
        QVERIFY(!form->User_Edit->isEnabled() && !form->StafferName_Edit->isEnabled());
        QVERIFY(!form->Save_Bt->isEnabled());
        QVERIFY(form->Add_BT->isEnabled());
        QVERIFY(form->QuanXian_Gb->isEnabled());
    }

    // A login name an operator has in another case: the message, nothing
    // added, the typed values kept.
    void duplicateName()
    {
        QVERIFY(openHotel(false));
        auto form = openForm();
        QTest::mouseClick(form->Add_BT, Qt::LeftButton);
        QTest::keyClicks(form->StafferName_Edit, QStringLiteral("Other"));
        QTest::keyClicks(form->User_Edit, QStringLiteral("QianTai"));
        tick(child<QCheckBox>(form.get(), "CheckIn_CB"));
        m_prompts->answerOk();
        QTest::mouseClick(form->Save_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->texts(), QStringList { u8("用户名不能重复!") });
        QCOMPARE(m_prompts->last().title, QString::fromLatin1(ApplicationTitle));
        QCOMPARE(m_hotel->count(QStringLiteral("Operator")), 3);
        QCOMPARE(form->User_Edit->text(), QStringLiteral("QianTai"));
        QCOMPARE(form->StafferName_Edit->text(), QStringLiteral("Other"));
        QVERIFY(child<QCheckBox>(form.get(), "CheckIn_CB")->isChecked());
        QVERIFY(form->Save_Bt->isEnabled());
        QCOMPARE(QApplication::focusWidget(), form->User_Edit);
    }

    // A click shows the row's rights, read-only; the password boxes only for
    // an operator without a password.
    void rowClick()
    {
        QVERIFY(openHotel(false));
        QCOMPARE(OperatorAdmin(m_hotel->db()).add({ QStringLiteral("newbie"), QStringLiteral("n"), {} }),
            OperatorAdmin::AddResult::Added);
        auto form = openForm();
        QTest::mouseClick(form->Add_BT, Qt::LeftButton);
        QTest::keyClicks(form->StafferName_Edit, QStringLiteral("n"));
        QTest::keyClicks(form->User_Edit, QStringLiteral("u"));
        form->SelectAll_CB->setChecked(true);

        clickRow(form.get(), QStringLiteral("qiantai"));
        QVERIFY(!form->Pass1_Edit->isEnabled() && !form->PassOk_Bt->isEnabled());
        QVERIFY(child<QCheckBox>(form.get(), "CheckIn_CB")->isChecked());
        QVERIFY(!child<QCheckBox>(form.get(), "Operator_CB")->isChecked());
        QVERIFY(!form->SelectAll_CB->isChecked());
        QVERIFY(!form->QuanXian_Gb->isEnabled() && !form->Save_Bt->isEnabled());
        QVERIFY(form->Delete_Bt->isEnabled() && form->Add_BT->isEnabled());
        QVERIFY(form->User_Edit->text().isEmpty());
        QCOMPARE(form->StafferName_Edit->text(), QStringLiteral("n"));

        clickRow(form.get(), QStringLiteral("newbie"));
        QVERIFY(form->Pass1_Edit->isEnabled() && form->PassOk_Bt->isEnabled());
        QCOMPARE(QApplication::focusWidget(), form->Pass1_Edit);
        for (QCheckBox *box : form->rightBoxes)
            QVERIFY(!box->isChecked());
    }

    // The first password: an empty or differing second entry changes
    // nothing; a matching one is stored hashed and the boxes turn off.
    void firstPasswordInWindow()
    {
        QVERIFY(openHotel(false));
        QCOMPARE(OperatorAdmin(m_hotel->db()).add({ QStringLiteral("newbie"), QStringLiteral("n"), {} }),
            OperatorAdmin::AddResult::Added);
        auto form = openForm();
        clickRow(form.get(), QStringLiteral("newbie"));
        QTest::keyClicks(form->Pass1_Edit, QStringLiteral("s3cret"));
        QCOMPARE(form->Pass1_Edit->displayText(), QStringLiteral("******"));

        m_prompts->answerText(std::nullopt);
        m_prompts->answerOk();
        QTest::mouseClick(form->PassOk_Bt, Qt::LeftButton);
        m_prompts->answerText(QStringLiteral("s3cre"));
        m_prompts->answerOk();
        QTest::mouseClick(form->PassOk_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->texts(), QStringList({ QString(), u8("密码不能为空！"), QString(), u8("两次密码不符！") }));
        for (int i : { 0, 2 }) {
            const ScriptedPrompts::Asked &input = m_prompts->asked.at(i);
            QCOMPARE(input.kind, ScriptedPrompts::Input);
            QCOMPARE(input.title, u8("请再次输入口令"));
            QVERIFY(input.defaultText.isEmpty());
        }
        QCOMPARE(form->Pass1_Edit->text(), QStringLiteral("s3cret"));
        QVERIFY(findOperator(m_hotel->db(), QStringLiteral("newbie"))->pass.isNull());

        m_prompts->clear();
        m_prompts->answerText(QStringLiteral("s3cret"));
        QTest::mouseClick(form->PassOk_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->asked.size(), 1);
        const OperatorRow row = *findOperator(m_hotel->db(), QStringLiteral("newbie"));
        QVERIFY(row.pass.startsWith(QLatin1String("$argon2id$")));
        QVERIFY(verifyPassword(QStringLiteral("s3cret"), row.pass));
        QCOMPARE(row.branch, QString::fromLatin1(MaskedPassword));
        QVERIFY(form->Pass1_Edit->text().isEmpty());
        QVERIFY(!form->Pass1_Edit->isEnabled() && !form->PassOk_Bt->isEnabled());

        clickRow(form.get(), QStringLiteral("newbie"));
        QVERIFY(!form->Pass1_Edit->isEnabled());
    }

    // Deleting from the list: unasked; the last administrator is refused.
    void deleteInWindow()
    {
        QVERIFY(openHotel(false));
        auto form = openForm();
        clickRow(form.get(), QStringLiteral("qiantai"));
        QTest::mouseClick(form->Delete_Bt, Qt::LeftButton);
        QVERIFY(m_prompts->asked.isEmpty());
        QCOMPARE(branchOf(QStringLiteral("qiantai")), QStringLiteral("<none>"));
        QCOMPARE(form->EmployeeInfo_DBGrid->model()->rowCount(), 2);
        QVERIFY(!form->Delete_Bt->isEnabled());

        clickRow(form.get(), QStringLiteral("admin"));
        QTest::mouseClick(form->Delete_Bt, Qt::LeftButton);
        clickRow(form.get(), QStringLiteral("boss"));
        m_prompts->answerOk();
        QTest::mouseClick(form->Delete_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->texts(), QStringList { u8("系统最少保留最后一个超级管理员!") });
        QCOMPARE(m_hotel->count(QStringLiteral("Operator")), 1);
        QCOMPARE(branchOf(QStringLiteral("boss")), QString::fromLatin1(MaskedPassword));
    }

    // A write the database refuses: the standard error box, nothing stored,
    // the window open with the typed values.
    void databaseError()
    {
        QVERIFY(openHotel(false));
        Sql::execDirect(m_hotel->db(),
            QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Operator "
                           "BEGIN SELECT RAISE(ABORT, 'disk says no'); END"));
        auto form = openForm();
        QTest::mouseClick(form->Add_BT, Qt::LeftButton);
        QTest::keyClicks(form->StafferName_Edit, QStringLiteral("n"));
        QTest::keyClicks(form->User_Edit, QStringLiteral("u"));
        m_prompts->answerOk();
        QTest::mouseClick(form->Save_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->asked.size(), 1);
        QCOMPARE(m_prompts->last().icon, QMessageBox::Critical);
        QCOMPARE(m_prompts->last().title, QString::fromLatin1(ApplicationTitle));
        QVERIFY2(m_prompts->last().text.contains(QLatin1String("disk says no")), qPrintable(m_prompts->last().text));
        QCOMPARE(m_hotel->count(QStringLiteral("Operator")), 3);
        QVERIFY(form->isVisible());
        QCOMPARE(form->User_Edit->text(), QStringLiteral("u"));
        // The failed write left no transaction behind: the next one goes through.
        Sql::execDirect(m_hotel->db(), QStringLiteral("DROP TRIGGER refuse"));
        QTest::mouseClick(form->Save_Bt, Qt::LeftButton);
        QCOMPARE(m_hotel->count(QStringLiteral("Operator")), 4);
    }

    // The menu entries open the two windows through the registry; both
    // offer the capture prompt.
    void registered()
    {
        QVERIFY(openHotel(false));
        WindowRegistry registry;
        registerOperatorWindows(registry);
        for (const auto &[key, name] : { std::pair { "OperatorManage_Menu", "Operator_Form" },
                 std::pair { "ChangePass_Menu", "ChangePassword_Form" } }) {
            QVERIFY2(registry.has(QLatin1String(key)), key);
            std::unique_ptr<QDialog> window(registry.factory(QLatin1String(key))(nullptr, OpenOptions {}));
            QCOMPARE(window->objectName(), QLatin1String(name));
            QVERIFY(!window->testAttribute(Qt::WA_DeleteOnClose));
            // The hidden translation capture prompt, turned down at its first box.
            window->show();
            m_prompts->clear();
            m_prompts->answerCancel();
            QTest::keyClick(window.get(), Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier);
            QCOMPARE(m_prompts->texts(), QStringList { u8("文件不存在，请重新选择！") });
            QVERIFY(window->isVisible());
        }
    }
};

QTEST_MAIN(TestOperators)
#include "tst_operators.moc"
