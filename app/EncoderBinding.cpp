#include "EncoderBinding.h"

#include "AppState.h"
#include "CardOperations.h"
#include "Encoder.h"
#include "Login.h"
#include "MainForm.h"
#include "Paths.h"
#include "ProfileFile.h"
#include "Prompts.h"
#include "Settings.h"
#include "TarvaneApplication.h"

#include <array>

void EncoderRegister(TMainForm *form)
{
    std::array<int16_t, 9> parameter {};
    (void)Encoder::GetParameter(parameter.data());
    form->EncoderType = parameter[0];
    if (form->EncoderType == 11)
        return;

    const QString title = QString::fromUtf8(ApplicationTitle);
    if (!SystemSettings.Pass.isEmpty()) {
        std::optional<std::array<int16_t, 4>> words = systemPasswordWords(SystemSettings.Pass);
        if (!words) {
            prompts().warning(form, title, QString::fromUtf8("系统密码格式错误，发卡机未绑定！"));
            return;
        }
        const int16_t result = Encoder::SystemInitialization(words->data());
        if (result == Encoder::ForeignEncoder) {
            prompts().message(form, QMessageBox::NoIcon, title, QString::fromUtf8("非本系统的发卡机！"),
                QMessageBox::Ok, QMessageBox::Ok);
            requestProgramEnd();
        }
        if (result != Encoder::Success)
            ShowEncoderMessage(result);
        return;
    }

    std::array<int16_t, 33> password {};
    const int16_t result = Encoder::ReadSystemPas(password.data());
    if (result != Encoder::Success) {
        ShowEncoderMessage(result);
        return;
    }
    const QString text = systemPasswordText(password.data());
    prompts().message(form, QMessageBox::NoIcon, title, text, QMessageBox::Ok, QMessageBox::Ok);
    SystemSettings.Pass = text;
    ProfileFile profile(Paths::profilePath());
    profile.writeString(QStringLiteral("SystemInfo"), QStringLiteral("Pass"), text);
    if (!profile.save())
        showError(profile.errorString());
}
