#pragma once

class WindowRegistry;

// Special cards, the card journal, door-record collection and browsing.
void registerCardsWindows(WindowRegistry &registry);

void registerSpecialCardWindows(WindowRegistry &registry); // special cards, card journal browser
void registerDoorRecordWindows(WindowRegistry &registry); // collection, door-record browser
