#include "AppState.h"
#include "Connection.h"
#include "DataModule.h"
#include "Encoder.h"
#include "EncoderBinding.h"
#include "LogonForm.h"
#include "MainForm.h"
#include "Settings.h"
#include "StoreWindows.h"
#include "TAboutForm.h"
#include "TarvaneApplication.h"
#include "Translation.h"
#include "WindowRegistry.h"

#if __has_include("DeskWindows.h")
#include "DeskWindows.h"
#define TARVANE_HAS_DESK 1
#endif
#if __has_include("CardsWindows.h")
#include "CardsWindows.h"
#define TARVANE_HAS_CARDS 1
#endif
#if __has_include("SetupWindows.h")
#include "SetupWindows.h"
#define TARVANE_HAS_SETUP 1
#endif

#include <sodium.h>

#include <array>

namespace {

int16_t readDeviceType()
{
    std::array<int16_t, 9> parameter {};
    (void)Encoder::GetParameter(parameter.data());
    return parameter[0];
}

void registerWindows(WindowRegistry &registry)
{
    registerStoreWindows(registry);
    registerLangWindows(registry, readDeviceType);
#ifdef TARVANE_HAS_DESK
    registerDeskWindows(registry);
#endif
#ifdef TARVANE_HAS_CARDS
    registerCardsWindows(registry);
#endif
#ifdef TARVANE_HAS_SETUP
    registerSetupWindows(registry);
#endif
}

} // namespace

int main(int argc, char **argv)
{
    TarvaneApplication app(argc, argv);
    if (sodium_init() < 0)
        return 1;
    installTranslationHooks();

    Tdm dataModule;
    startupLoad();
    openDatabase();
    registerWindows(windowRegistry());

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
