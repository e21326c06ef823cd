#pragma once
// Choice of the interface language at start: the system's language id (Windows numbering,
// taken here from the process locale) mapped to a language offset of the string table.
#include <cstdint>
#include <string_view>

namespace sealwise {

// German, French and Spanish ids of the start-up table select those languages; every other
// id, 0 and the bare Spanish id 0x000A included, selects English.
int LanguageOffsetFromLangId(uint16_t langId);

// Language id of a locale name such as "de_AT.UTF-8@euro", "fr", "C" or "POSIX". A country
// without its own id gives the bare language id; an unknown language gives 0.
uint16_t LangIdFromLocaleName(std::string_view locale);

// Language id of the process locale: the first non-empty of LC_ALL, LC_MESSAGES and LANG,
// as the C library chooses the message locale; none set counts as "C".
uint16_t LangIdFromLocale();

// Language id for messages as GNU programs choose it: the first entry of LANGUAGE (a
// colon-separated list such as "fr:de") that names German, English, Spanish or French, else
// the locale as LangIdFromLocale() reads it. A locale set explicitly to "C" or "POSIX" wins
// over LANGUAGE, so that "LC_ALL=C command" gives the untranslated texts scripts rely on.
// Null pointers stand for unset variables.
uint16_t LangIdFromVariables(const char* language, const char* lcAll, const char* lcMessages,
                             const char* lang);
// The same for the process environment.
uint16_t LangIdForMessages();

}  // namespace sealwise
