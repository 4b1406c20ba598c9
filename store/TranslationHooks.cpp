#include "TranslationHooks.h"

TranslationHooks &translationHooks()
{
    static TranslationHooks hooks;
    return hooks;
}

void applyTranslationHooks(QWidget *window)
{
    const TranslationHooks &hooks = translationHooks();
    if (hooks.apply)
        hooks.apply(window);
    if (hooks.installPrompt)
        hooks.installPrompt(window);
}
