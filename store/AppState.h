#pragma once

// Set by the windows that change rooms, stays or cards; cleared only by the
// main window's timer once the board has been rebuilt.
extern bool RoomsChanged;

// Ends the program: sets a flag that main() checks before its event loop and
// quits the event loop if it runs.
void requestProgramEnd();
bool programEndRequested();
void clearProgramEndRequest(); // tests
