#include "LogonForm.h"

#include "DataModule.h"
#include "Login.h"
#include "Prompts.h"
#include "Settings.h"
#include "TarvaneApplication.h"
#include "Translation.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TLogonForm::TLogonForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("LogonForm"));
    setWindowTitle(QString::fromUtf8("登陆"));

    Title_Label = new QLabel(QString::fromUtf8("智能门锁管理系统"), this);
    Title_Label->setObjectName(QStringLiteral("Title_Label"));
    QFont titleFont = Title_Label->font();
    titleFont.setPointSize(titleFont.pointSize() + 6);
    titleFont.setBold(true);
    Title_Label->setFont(titleFont);
    Title_Label->setAlignment(Qt::AlignCenter);

    FirstRun_Label = new QLabel(QString::fromUtf8("系统初次使用，请设定系统管理员和登陆口令"), this);
    FirstRun_Label->setObjectName(QStringLiteral("FirstRun_Label"));
    FirstRun_Label->setAlignment(Qt::AlignCenter);
    FirstRun_Label->setWordWrap(true);
    FirstRun_Label->hide();

    Operator_Label = new QLabel(QString::fromUtf8("操作员："), this);
    Operator_Label->setObjectName(QStringLiteral("Operator_Label"));
    Pass_Label = new QLabel(QString::fromUtf8("密  码："), this);
    Pass_Label->setObjectName(QStringLiteral("Pass_Label"));
    LoginCode_Edit = new QLineEdit(this);
    LoginCode_Edit->setObjectName(QStringLiteral("LoginCode_Edit"));
    SystemLogin_Pas = new QLineEdit(this);
    SystemLogin_Pas->setObjectName(QStringLiteral("SystemLogin_Pas"));
    SystemLogin_Pas->setEchoMode(QLineEdit::Password);
    SystemLogin_Pas->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    Ok_Bt = new QPushButton(QString::fromUtf8("登  陆"), this);
    Ok_Bt->setObjectName(QStringLiteral("Ok_Bt"));
    Ok_Bt->setDefault(true);

    auto *fields = new QGridLayout;
    fields->addWidget(Operator_Label, 0, 0, Qt::AlignRight);
    fields->addWidget(LoginCode_Edit, 0, 1);
    fields->addWidget(Pass_Label, 1, 0, Qt::AlignRight);
    fields->addWidget(SystemLogin_Pas, 1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(12);
    layout->addWidget(Title_Label);
    layout->addWidget(FirstRun_Label);
    layout->addLayout(fields);
    layout->addWidget(Ok_Bt, 0, Qt::AlignHCenter);
    setTabOrder(LoginCode_Edit, SystemLogin_Pas);
    setTabOrder(SystemLogin_Pas, Ok_Bt);
    LoginCode_Edit->setFocus();

    connect(Ok_Bt, &QPushButton::clicked, this, guarded([this] { Ok_BtClick(); }));
    FormCreate();

    setFixedSize(400, 230);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TLogonForm::FormCreate()
{
    translateWindow(this);
    installCapturePrompt(this);
    bool any = true;
    runGuarded([&] { any = hasOperators(dm().conn()); });
    if (any)
        return;
    // First run: these captions are set after the translation and stay untranslated.
    m_firstRun = true;
    FirstRun_Label->show();
    Title_Label->hide();
    Operator_Label->setText(QString::fromUtf8("请设定用户名："));
    Pass_Label->setText(QString::fromUtf8("请设定口令："));
    Ok_Bt->setText(QString::fromUtf8("确定"));
}

void TLogonForm::Ok_BtClick()
{
    if (m_firstRun)
        firstRunOk();
    else
        loginOk();
}

void TLogonForm::firstRunOk()
{
    const QString again
        = prompts().inputText(this, QString::fromUtf8("请再次输入口令"), QString(), QString()).value_or(QString());
    if (again != SystemLogin_Pas->text()) {
        prompts().message(this, QMessageBox::NoIcon, QString::fromUtf8(ApplicationTitle),
            QString::fromUtf8("两次密码不符！"), QMessageBox::Ok, QMessageBox::Ok);
        return;
    }
    const int groupId = createFirstOperator(dm().conn(), LoginCode_Edit->text(), SystemLogin_Pas->text());
    SystemSettings.Staffer = LoginCode_Edit->text();
    SystemSettings.StafferName = QString::fromUtf8("系统管理员");
    SystemSettings.GroupID = groupId;
    accept();
}

void TLogonForm::loginOk()
{
    const std::optional<OperatorRow> row = checkLogin(dm().conn(), LoginCode_Edit->text(), SystemLogin_Pas->text());
    if (!row) {
        prompts().error(this, QString::fromUtf8("提示"), QString::fromUtf8("错误的用户名或密码！"));
        SystemLogin_Pas->setFocus();
        return;
    }
    SystemSettings.Staffer = LoginCode_Edit->text();
    SystemSettings.StafferName = row->stafferName;
    SystemSettings.GroupID = row->groupId;
    accept();
}
