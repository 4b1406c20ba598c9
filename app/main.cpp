#include "AppState.h"
#include "Connection.h"
#include "DataModule.h"
#include "Encoder.h"
#include "EncoderBinding.h"
#include "LogonForm.h"
#include "MainForm.h"
#include "ProgramWindows.h"
#include "Settings.h"
#include "TarvaneApplication.h"
#include "Translation.h"
#include "WindowRegistry.h"

#include <sodium.h>

int main(int argc, char **argv)
{
    TarvaneApplication app(argc, argv);
    if (sodium_init() < 0)
        return 1;
    installTranslationHooks();

    Tdm dataModule;
    startupLoad();
    applyLanguageLocale(SystemSettings.LanguageID);
    openDatabase();
    registerProgramWindows(windowRegistry());

    bool loggedIn = false;
    {
        TLogonForm logon;
        loggedIn = logon.exec() == QDialog::Accepted;
    }
    if (!loggedIn || programEndRequested())
        return 0;

    TMainForm mainForm({ [] { return Encoder::MakeCardOpenPort(1); }, EncoderRegister });
    if (programEndRequested())
        return 0;
    mainForm.show();
    return app.exec();
}
