#pragma once
// The interface language of the whole program. A switch from any window's flags changes the
// string table's language and Qt's own texts, and every open window follows at once, so no
// window ever shows two languages.
#include <QObject>

namespace sealwise::gui {

class LanguageSwitch : public QObject {
    Q_OBJECT

  public:
    static LanguageSwitch& Instance();

    // Sets the language for the string table and Qt, localises every open window again and
    // then announces the change for the windows' own closing steps.
    void Switch(int languageOffset);
    // Qt's texts for the current language, at start.
    static void ApplyCurrent();

  Q_SIGNALS:
    void Changed();
};

}  // namespace sealwise::gui
