#include "CardsWindows.h"

void registerCardsWindows(WindowRegistry &registry)
{
    registerSpecialCardWindows(registry);
    registerDoorRecordWindows(registry);
}
