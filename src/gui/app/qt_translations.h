#pragma once
// Qt's own texts (the controls of file and folder dialogs, the context menus of text boxes)
// in the interface language, from the translations that come with Qt.
#include <QString>

namespace sealwise::gui {

// The two-letter code of a language offset: "de", "en", "es" or "fr"; empty for no language.
QString LanguageCode(int languageOffset);

// Replaces the installed Qt translation by the one of the language. English needs none.
// Returns false when the translation file of a non-English language cannot be loaded; Qt's
// texts then stay English.
bool ApplyQtTranslations(int languageOffset);

}  // namespace sealwise::gui
