#include "ProgramWindows.h"

#include "CardsWindows.h"
#include "DeskWindows.h"
#include "Encoder.h"
#include "SetupWindows.h"
#include "StoreWindows.h"
#include "TAboutForm.h"
#include "WindowRegistry.h"

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
