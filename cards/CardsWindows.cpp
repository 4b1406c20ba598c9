#include "CardsWindows.h"

#include "WindowRegistry.h"

void registerCardsWindows(WindowRegistry &registry)
{
    Q_UNUSED(registry);
}
