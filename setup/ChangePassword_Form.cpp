#include "ChangePassword_Form.h"

#include "DataModule.h"
#include "NamedWidgets.h"
#include "PasswordChange.h"
#include "Prompts.h"
#include "Settings.h"
#include "TarvaneApplication.h"
#include "Translation.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {

using Widgets::named;

QLineEdit *passwordEdit(const char *name, QWidget *parent)
{
    QLineEdit *edit = named<QLineEdit>(name, parent);
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    edit->setMaxLength(8);
    return edit;
}

QString hint()
{
    return QString::fromUtf8("提示");
}

} // namespace

TChangePassword_Form::TChangePassword_Form(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ChangePassword_Form"));
    setWindowTitle(QString::fromUtf8("修改口令"));

    Label1 = named<QLabel>("Label1", QString::fromUtf8("输入当前口令："), this);
    OldPassword_Edit = passwordEdit("OldPassword_Edit", this);
    Label2 = named<QLabel>("Label2", QString::fromUtf8("输入新口令："), this);
    NewPassword_Edit = passwordEdit("NewPassword_Edit", this);
    Label3 = named<QLabel>("Label3", QString::fromUtf8("确认新口令："), this);
    RepeatNewPassword_Edit = passwordEdit("RepeatNewPassword_Edit", this);
    Label1->setBuddy(OldPassword_Edit);
    Label2->setBuddy(NewPassword_Edit);
    Label3->setBuddy(RepeatNewPassword_Edit);
    Ok_Bt = named<QPushButton>("Ok_Bt", QString::fromUtf8("确  定(&O)"), this);
    Ok_Bt->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    Ok_Bt->setAutoDefault(false);
    Ok_Bt->setDefault(false);

    auto *fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0, Qt::AlignRight);
    fields->addWidget(OldPassword_Edit, 0, 1);
    fields->addWidget(Label2, 1, 0, Qt::AlignRight);
    fields->addWidget(NewPassword_Edit, 1, 1);
    fields->addWidget(Label3, 2, 0, Qt::AlignRight);
    fields->addWidget(RepeatNewPassword_Edit, 2, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addWidget(Ok_Bt, 0, Qt::AlignHCenter);

    connect(Ok_Bt, &QPushButton::clicked, this, guarded([this] { Ok_BtClick(); }));

    m_change = std::make_unique<PasswordChange>(dm().conn(), SystemSettings.Staffer);
    translateWindow(this);
    installCapturePrompt(this);
    showFirstStage();

    setFixedSize(320, 180);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

TChangePassword_Form::~TChangePassword_Form() = default;

bool TChangePassword_Form::isFirstStage() const
{
    return !Label1->isHidden();
}

void TChangePassword_Form::showFirstStage()
{
    Label2->hide();
    NewPassword_Edit->hide();
    Label3->hide();
    RepeatNewPassword_Edit->hide();
    Label1->show();
    OldPassword_Edit->show();
    OldPassword_Edit->setFocus();
}

void TChangePassword_Form::Ok_BtClick()
{
    if (isFirstStage())
        checkCurrent();
    else
        storeNew();
}

void TChangePassword_Form::checkCurrent()
{
    if (!m_change->checkCurrent(OldPassword_Edit->text())) {
        prompts().error(this, hint(), QString::fromUtf8("旧密码不符！"));
        return;
    }
    Label1->hide();
    OldPassword_Edit->hide();
    Label2->show();
    NewPassword_Edit->show();
    Label3->show();
    RepeatNewPassword_Edit->show();
    NewPassword_Edit->setFocus();
}

void TChangePassword_Form::storeNew()
{
    switch (m_change->change(NewPassword_Edit->text(), RepeatNewPassword_Edit->text())) {
    case PasswordChange::Result::Mismatch:
        prompts().error(this, hint(), QString::fromUtf8("两次新密码不符！"));
        return;
    case PasswordChange::Result::CurrentChanged:
        // Changed at another desk since the check: the current password is asked again.
        prompts().error(this, hint(), QString::fromUtf8("旧密码不符！"));
        OldPassword_Edit->clear();
        NewPassword_Edit->clear();
        RepeatNewPassword_Edit->clear();
        showFirstStage();
        return;
    case PasswordChange::Result::Changed:
        prompts().information(this, hint(), QString::fromUtf8("密码修改成功!"));
        accept();
        return;
    }
}

#include "moc_ChangePassword_Form.cpp"
