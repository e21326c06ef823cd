#pragma once
// The localised string table: texts by base id in the current interface language, with the
// "%s" and "%d" placeholders filled in.
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/language.h"
#include "app/message.h"
#include "app/msg.h"
#include "app/string_table.h"
#include "util/errors.h"

namespace sealwise {

// The requested id has no entry in the current language.
class MissingStringError : public std::runtime_error {
  public:
    MissingStringError(Msg id, int languageOffset);
    Msg id() const noexcept { return id_; }
    int languageOffset() const noexcept { return languageOffset_; }

  private:
    Msg id_;
    int languageOffset_;
};

// Text of id in the current language. With s and d both empty the stored text comes back
// unchanged; otherwise every "%s" becomes s, and then every "%d" of the result becomes d.
// Throws MissingStringError when the current language has no entry for the id.
std::string GetResText(Msg id, std::string_view s = {}, std::string_view d = {});

// Whether the language at languageOffset has an entry for id.
bool HasResText(Msg id, int languageOffset);

// The process-wide language offset: 0 German, 900 English, 1900 Spanish, 2900 French.
int LanguageOffset();
void SetLanguageOffset(int offset);

// The user-facing text of a message in the current language: for SystemError "Error:", a
// blank and the argument; otherwise the text with the arguments for "%s" and "%d". Never
// throws: a text missing in the current language falls back to English, then to a plain
// description.
std::string MessageText(const Message& message);
// The same for a core failure.
std::string MessageText(const SealError& error);

}  // namespace sealwise
