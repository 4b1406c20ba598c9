#pragma once

#include <functional>

class QWidget;

// The translation component lives above this library; it fills these hooks at
// start so that the windows here are translated like every other window.
struct TranslationHooks
{
    // Gives the window its translation component (objectName "Language1"),
    // sets its language and applies the translation while TranslationActive.
    std::function<void(QWidget *window)> apply;
    // Installs the hidden translation capture prompt (Ctrl+Alt+F12).
    std::function<void(QWidget *window)> installPrompt;
};

TranslationHooks &translationHooks();
// Calls both hooks that are set; a window calls this once while it is created.
void applyTranslationHooks(QWidget *window);
