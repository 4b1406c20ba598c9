#include "CardsWindows.h"

#include "WindowRegistry.h"

void registerSpecialCardWindows(WindowRegistry &registry)
{
    Q_UNUSED(registry);
}
