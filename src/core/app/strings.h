#pragma once
// The localised string table: texts by base id in the current interface language, with the
// "%s" and "%d" placeholders filled in.
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/language.h"
#include "app/string_table.h"
#include "util/errors.h"

namespace sealwise {

// The requested id has no entry in the current language.
class MissingStringError : public std::runtime_error {
  public:
    MissingStringError(int baseId, int languageOffset);
    int baseId() const noexcept { return baseId_; }
    int languageOffset() const noexcept { return languageOffset_; }

  private:
    int baseId_;
    int languageOffset_;
};

// Text of baseId in the current language. With s and d both empty the stored text comes back
// unchanged; otherwise every "%s" becomes s, and then every "%d" of the result becomes d.
// Throws MissingStringError when the current language has no entry for the id.
std::string GetResText(int baseId, std::string_view s = {}, std::string_view d = {});

// Whether the language at languageOffset has an entry for baseId.
bool HasResText(int baseId, int languageOffset);

// The process-wide language offset: 0 German, 900 English, 1900 Spanish, 2900 French.
int LanguageOffset();
void SetLanguageOffset(int offset);

// The user-facing text of a core failure in the current language: for 103 "Error:", a blank
// and the argument; otherwise the message with the argument for "%s". Never throws: a message
// missing in the current language falls back to English, then to a plain description.
std::string MessageText(const SealError& error);

}  // namespace sealwise
