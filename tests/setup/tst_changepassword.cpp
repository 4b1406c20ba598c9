#include "ChangePassword_Form.h"
#include "Connection.h"
#include "DataModule.h"
#include "HotelFixture.h"
#include "Operators.h"
#include "PasswordChange.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "Sql.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

class TestChangePassword : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<HotelFixture> m_hotel;
    std::unique_ptr<ScriptedPrompts> m_prompts;

    // A hotel whose operator qiantai (logged in as typed in another case)
    // has the given stored password.
    bool openHotel(bool postgres, const QString &storedPass)
    {
        m_prompts.reset();
        m_hotel.reset();
        m_hotel = std::make_unique<HotelFixture>(postgres);
        if (!m_hotel->isOpen())
            return false;
        m_hotel->addOperator(QStringLiteral("admin"), hashPassword(QStringLiteral("123456")), operatorRightColumns());
        m_hotel->addOperator(QStringLiteral("qiantai"), storedPass, { QStringLiteral("CheckIn") });
        SystemSettings.Staffer = QStringLiteral("QianTai");
        m_prompts = std::make_unique<ScriptedPrompts>();
        return true;
    }

    QString storedPass(const QString &login = QStringLiteral("qiantai")) const
    {
        return findOperator(m_hotel->db(), login)->pass;
    }

    void setStoredPass(const QString &pass)
    {
        Sql::exec(m_hotel->db(), QStringLiteral("UPDATE Operator SET Pass = ? WHERE Staffer = 'qiantai'"), { pass });
    }

    std::unique_ptr<TChangePassword_Form> openForm()
    {
        auto form = std::make_unique<TChangePassword_Form>();
        form->show();
        (void)QTest::qWaitForWindowExposed(form.get());
        return form;
    }

    void typeAndConfirm(TChangePassword_Form *form, QLineEdit *edit, const QString &text)
    {
        edit->clear();
        QTest::keyClicks(edit, text);
        QTest::mouseClick(form->Ok_Bt, Qt::LeftButton);
    }

    void toSecondStage(TChangePassword_Form *form, const QString &current)
    {
        typeAndConfirm(form, form->OldPassword_Edit, current);
        QVERIFY(!form->isFirstStage());
    }

private Q_SLOTS:
    void cleanup()
    {
        m_prompts.reset();
        m_hotel.reset();
    }

    // The current password: outer blanks are dropped first, and the text as
    // typed is tried when that fails; hashes and legacy plain ones alike.
    void currentPassword_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("hashed");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matches");
        QTest::newRow("hash exact") << "abc" << true << "abc" << true;
        QTest::newRow("hash trailing blank") << "abc" << true << "abc " << true;
        QTest::newRow("hash leading blank") << "abc" << true << " abc" << true;
        QTest::newRow("hash other case") << "abc" << true << "ABC" << false;
        QTest::newRow("hash prefix") << "abc" << true << "ab" << false;
        QTest::newRow("plain trailing blank") << "abc" << false << "abc " << true;
        QTest::newRow("plain kept blank") << " x " << false << " x " << true;
        QTest::newRow("plain wrong") << "abc" << false << "abd" << false;
        QTest::newRow("quote") << "8'01" << true << "8'01" << true;
        QTest::newRow("hash empty") << "" << true << "" << true;
        QTest::newRow("hash empty typed") << "abc" << true << "" << false;
    }
    void currentPassword()
    {
        QFETCH(QString, stored);
        QFETCH(bool, hashed);
        QFETCH(QString, typed);
        QFETCH(bool, matches);
        QVERIFY(openHotel(false, hashed ? hashPassword(stored) : stored));
        PasswordChange change(m_hotel->db(), SystemSettings.Staffer);
        QCOMPARE(change.checkCurrent(typed), matches);
        QCOMPARE(change.isChecked(), matches);
    }

    // An operator without any password, or no such operator, has nothing to check.
    void nothingToCheck()
    {
        QVERIFY(openHotel(false, QStringLiteral("x")));
        Sql::exec(m_hotel->db(), QStringLiteral("UPDATE Operator SET Pass = NULL WHERE Staffer = 'qiantai'"));
        QVERIFY(!PasswordChange(m_hotel->db(), QStringLiteral("qiantai")).checkCurrent(QString()));
        QVERIFY(!PasswordChange(m_hotel->db(), QStringLiteral("nobody")).checkCurrent(QString()));
    }

    // The new password is written hashed over the very password checked; a
    // change made elsewhere in between is not overwritten.
    void changeRules_data()
    {
        QTest::addColumn<bool>("postgres");
        QTest::newRow("sqlite") << false;
        QTest::newRow("postgres") << true;
    }
    void changeRules()
    {
        QFETCH(bool, postgres);
        if (!openHotel(postgres, QStringLiteral("123456")))
            QSKIP("no PostgreSQL server configured");
        PasswordChange change(m_hotel->db(), SystemSettings.Staffer);
        QCOMPARE(change.change(QStringLiteral("a"), QStringLiteral("a")), PasswordChange::Result::CurrentChanged);
        QVERIFY(change.checkCurrent(QStringLiteral("123456")));
        QCOMPARE(change.change(QStringLiteral("new1"), QStringLiteral("new2")), PasswordChange::Result::Mismatch);
        QCOMPARE(storedPass(), QStringLiteral("123456"));
        QCOMPARE(change.change(QStringLiteral(" n'1 "), QStringLiteral("n'1")), PasswordChange::Result::Changed);
        const QString hash = storedPass();
        QVERIFY(hash.startsWith(QLatin1String("$argon2id$")));
        QVERIFY(verifyPassword(QStringLiteral("n'1"), hash));

        QVERIFY(change.checkCurrent(QStringLiteral("n'1")));
        {
            const QSqlDatabase db = m_hotel->db();
            QSqlDatabase other = QSqlDatabase::addDatabase(db.driverName(), QStringLiteral("other-desk"));
            other.setHostName(db.hostName());
            other.setPort(db.port());
            other.setDatabaseName(db.databaseName());
            other.setUserName(db.userName());
            other.setPassword(db.password());
            QVERIFY(other.open());
            configureConnection(other);
            Sql::exec(other, QStringLiteral("UPDATE Operator SET Pass = ? WHERE Staffer = 'qiantai'"),
                { hashPassword(QStringLiteral("theirs")) });
            other.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other-desk"));
        QCOMPARE(change.change(QStringLiteral("mine"), QStringLiteral("mine")), PasswordChange::Result::CurrentChanged);
        QVERIFY(!change.isChecked());
        QVERIFY(verifyPassword(QStringLiteral("theirs"), storedPass()));
        // The admin's row was never touched.
        QVERIFY(verifyPassword(QStringLiteral("123456"), storedPass(QStringLiteral("admin"))));
    }

    // A wrong current password may be tried again without limit; the right
    // one shows the second stage.
    void firstStage()
    {
        QVERIFY(openHotel(false, hashPassword(QStringLiteral("123456"))));
        auto form = openForm();
        QCOMPARE(form->windowTitle(), u8("修改口令"));
        QVERIFY(form->isFirstStage());
        QVERIFY(form->NewPassword_Edit->isHidden() && form->RepeatNewPassword_Edit->isHidden());
        QCOMPARE(QApplication::focusWidget(), form->OldPassword_Edit);

        for (int i = 0; i < 3; ++i) {
            m_prompts->answerOk();
            typeAndConfirm(form.get(), form->OldPassword_Edit, QStringLiteral("wrong"));
        }
        QCOMPARE(m_prompts->asked.size(), 3);
        QCOMPARE(m_prompts->last().text, u8("旧密码不符！"));
        QCOMPARE(m_prompts->last().title, u8("提示"));
        QCOMPARE(m_prompts->last().icon, QMessageBox::Critical);
        QVERIFY(form->isFirstStage());

        toSecondStage(form.get(), QStringLiteral("123456 "));
        QVERIFY(form->Label1->isHidden() && form->OldPassword_Edit->isHidden());
        QVERIFY(!form->Label2->isHidden() && !form->NewPassword_Edit->isHidden());
        QVERIFY(!form->Label3->isHidden() && !form->RepeatNewPassword_Edit->isHidden());
        QCOMPARE(QApplication::focusWidget(), form->NewPassword_Edit);
    }

    // Passwords longer than eight characters cannot be typed; they echo '*'.
    void eightCharacters()
    {
        QVERIFY(openHotel(false, QStringLiteral("12345678")));
        auto form = openForm();
        QTest::keyClicks(form->OldPassword_Edit, QStringLiteral("123456789"));
        QCOMPARE(form->OldPassword_Edit->text(), QStringLiteral("12345678"));
        QCOMPARE(form->OldPassword_Edit->displayText(), QStringLiteral("********"));
        QCOMPARE(form->NewPassword_Edit->maxLength(), 8);
        QCOMPARE(form->RepeatNewPassword_Edit->maxLength(), 8);
    }

    // Differing new passwords change nothing; equal ones are stored and the
    // window closes; the new password then verifies.
    void secondStage_data()
    {
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("repeated");
        QTest::addColumn<QString>("stored");
        QTest::newRow("plain") << "n3w"
                               << "n3w"
                               << "n3w";
        QTest::newRow("blanks around") << " n3w"
                                       << "n3w  "
                                       << "n3w";
        QTest::newRow("empty pair") << ""
                                    << ""
                                    << "";
        QTest::newRow("quote") << "a'b"
                               << "a'b"
                               << "a'b";
    }
    void secondStage()
    {
        QFETCH(QString, newPassword);
        QFETCH(QString, repeated);
        QFETCH(QString, stored);
        QVERIFY(openHotel(false, QStringLiteral("123456")));
        auto form = openForm();
        toSecondStage(form.get(), QStringLiteral("123456"));

        QTest::keyClicks(form->NewPassword_Edit, QStringLiteral("other"));
        QTest::keyClicks(form->RepeatNewPassword_Edit, QStringLiteral("othe"));
        m_prompts->answerOk();
        QTest::mouseClick(form->Ok_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->last().text, u8("两次新密码不符！"));
        QCOMPARE(m_prompts->last().icon, QMessageBox::Critical);
        QVERIFY(!form->isFirstStage());
        QCOMPARE(storedPass(), QStringLiteral("123456"));

        form->NewPassword_Edit->clear();
        form->RepeatNewPassword_Edit->clear();
        QTest::keyClicks(form->NewPassword_Edit, newPassword);
        QTest::keyClicks(form->RepeatNewPassword_Edit, repeated);
        m_prompts->answerOk();
        QTest::mouseClick(form->Ok_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->last().text, u8("密码修改成功!"));
        QCOMPARE(m_prompts->last().title, u8("提示"));
        QCOMPARE(m_prompts->last().icon, QMessageBox::Information);
        QCOMPARE(form->result(), int(QDialog::Accepted));
        QVERIFY(!form->isVisible());
        const QString hash = storedPass();
        QVERIFY(hash.startsWith(QLatin1String("$argon2id$")));
        QVERIFY(verifyPassword(stored, hash));
        QVERIFY(!verifyPassword(QStringLiteral("123456"), hash));
    }

    // Closing in the second stage leaves the password as it was.
    void closeInSecondStage()
    {
        QVERIFY(openHotel(false, QStringLiteral("123456")));
        auto form = openForm();
        toSecondStage(form.get(), QStringLiteral("123456"));
        QTest::keyClicks(form->NewPassword_Edit, QStringLiteral("n3w"));
        QTest::keyClicks(form->RepeatNewPassword_Edit, QStringLiteral("n3w"));
        QTest::keyClick(form.get(), Qt::Key_Escape);
        QCOMPARE(form->result(), int(QDialog::Rejected));
        QVERIFY(!form->isVisible());
        QCOMPARE(storedPass(), QStringLiteral("123456"));
        QVERIFY(m_prompts->asked.isEmpty());
    }

    // Changed at another desk between the stages: no success claimed, the
    // window asks for the current password again with empty edits.
    void changedElsewhere()
    {
        QVERIFY(openHotel(false, QStringLiteral("123456")));
        auto form = openForm();
        toSecondStage(form.get(), QStringLiteral("123456"));
        const QString theirs = hashPassword(QStringLiteral("theirs"));
        setStoredPass(theirs);
        QTest::keyClicks(form->NewPassword_Edit, QStringLiteral("mine"));
        QTest::keyClicks(form->RepeatNewPassword_Edit, QStringLiteral("mine"));
        m_prompts->answerOk();
        QTest::mouseClick(form->Ok_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->texts(), QStringList { u8("旧密码不符！") });
        QCOMPARE(m_prompts->last().title, u8("提示"));
        QCOMPARE(m_prompts->last().icon, QMessageBox::Critical);
        QVERIFY(form->isVisible());
        QVERIFY(form->isFirstStage());
        QVERIFY(form->OldPassword_Edit->text().isEmpty());
        QVERIFY(form->NewPassword_Edit->text().isEmpty() && form->RepeatNewPassword_Edit->text().isEmpty());
        QCOMPARE(storedPass(), theirs);

        toSecondStage(form.get(), QStringLiteral("theirs"));
    }
};

QTEST_MAIN(TestChangePassword)
#include "tst_changepassword.moc"
