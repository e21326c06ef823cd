#pragma once
// Entry names: the relative path under which a file is stored in a container, components
// separated by "\". Writing turns a listed file into its stored name bytes; reading decodes
// them and decides whether they name a place below the output directory.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "util/bytes.h"

namespace sealwise {

// The relativeNames value of a file added on its own.
inline constexpr std::string_view kOwnFileMarker = "\\";

// Stored bytes of the name of path: its base name (cut to 255 characters) when relativeName is
// "\", else relativeName with "/" turned into "\" and without a leading "\". Windows-1252 when
// the whole name fits it, else the UTF-8 marker and UTF-8 (one marker at the start of the whole
// path, see util/text_codec.h). Throws SealError 425 when it needs more than 255 bytes.
Bytes EntryNameBytes(std::string_view path, std::string_view relativeName);

struct DecodedEntryName {
    std::string text;                     // the name as text, "\" between components
    std::vector<std::string> components;  // only filled when the name is safe
    bool safe() const { return !components.empty(); }
};

// Decodes stored name bytes (UTF-8 after a leading marker, else Windows-1252). The name is safe
// when every component (split at "\" or "/") is non-empty, not "." or "..", free of control
// characters, and the first is no drive ("C:").
DecodedEntryName DecodeEntryName(std::span<const uint8_t> bytes);

// The name for people to read: "/" between components, control characters and bidirectional
// overrides shown as \xNN or \u{NNNN} so that a hostile name cannot disguise itself.
std::string PrintableName(std::string_view text);

// Text that may hold an entry name (a path, a message naming one), safe to print on a
// terminal or show in a window: control characters and bidirectional overrides escaped as in
// PrintableName, everything else unchanged.
std::string EscapeForDisplay(std::string_view text);

}  // namespace sealwise
