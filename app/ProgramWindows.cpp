#include "ProgramWindows.h"

#include "CardsWindows.h"
#include "DeskWindows.h"
#include "Encoder.h"
#include "SetupWindows.h"
#include "StoreWindows.h"
#include "TAboutForm.h"
#include "WindowRegistry.h"

#include <QLocale>

#include <array>

int16_t readDeviceType()
{
    std::array<int16_t, 9> parameter {};
    (void)Encoder::GetParameter(parameter.data());
    return parameter[0];
}

void registerProgramWindows(WindowRegistry &registry)
{
    registerStoreWindows(registry);
    registerLangWindows(registry, readDeviceType);
    registerDeskWindows(registry);
    registerCardsWindows(registry);
    registerSetupWindows(registry);
}

void applyLanguageLocale(int32_t languageId)
{
    switch (languageId) {
    case 2052:
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China));
        break;
    case 1028:
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan));
        break;
    case 3076:
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::HongKong));
        break;
    case 1033:
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        break;
    default:
        break;
    }
}
