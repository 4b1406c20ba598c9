#pragma once

#include <cstdint>

class WindowRegistry;

// Registers every window the menus open: settings, About box, front desk,
// special cards and hotel setup.
void registerProgramWindows(WindowRegistry &registry);

// Word 0 of the encoder's parameters: the device type the About box shows.
int16_t readDeviceType();

// Dates, times and numbers in the language of the texts: a Chinese desk shows
// "2026年12月10日" in its date pickers whatever the machine's locale.
void applyLanguageLocale(int32_t languageId);
