#include "gui/app/language_switch.h"

#include <QApplication>
#include <QWidget>

#include "app/strings.h"
#include "gui/app/language_flags.h"
#include "gui/app/localizer.h"
#include "gui/app/qt_translations.h"

namespace sealwise::gui {

LanguageSwitch& LanguageSwitch::Instance() {
    static LanguageSwitch instance;
    return instance;
}

void LanguageSwitch::ApplyCurrent() { ApplyQtTranslations(LanguageOffset()); }

void LanguageSwitch::Switch(int languageOffset) {
    SetLanguageOffset(languageOffset);
    ApplyQtTranslations(languageOffset);
    // Windows without steps of their own (the e-mail window) follow through the walk alone.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        MarkLanguageFlag(window);
        LocalizeForm(window);
    }
    Q_EMIT Changed();
}

}  // namespace sealwise::gui
