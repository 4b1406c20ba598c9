#pragma once

class WindowRegistry;

// Special cards, the card journal, door-record collection and browsing.
void registerCardsWindows(WindowRegistry &registry);
