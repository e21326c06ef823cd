#include "gui/keyboard/desktop_keyboard_layout.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QLocale>

#include "app/language.h"
#include "gui/keyboard/keyboard_layout.h"

namespace sealwise::gui {

uint32_t DesktopKeyboardLayout() {
    const QLocale locale = QGuiApplication::inputMethod()->locale();
    return KeyboardLayoutHandle(LangIdFromLocaleName(locale.name().toStdString()));
}

}  // namespace sealwise::gui
