#pragma once
// Texts in the modern format: the exact UTF-8 bytes sealed as a container of content "text"
// and armoured as Base64 between BEGIN and END lines (docs/format-modern.md, 5).
#include <span>
#include <string>
#include <string_view>

#include "modern/modern_format.h"

namespace sealwise::modern {

constexpr std::string_view kArmourBegin = "-----BEGIN SEALWISE MESSAGE-----";
constexpr std::string_view kArmourEnd = "-----END SEALWISE MESSAGE-----";

// The armour of text (lines of 64 characters, CR LF after every line).
std::string SealText(std::string_view text, std::span<const std::string> keys,
                     const KdfCost& cost = kDefaultKdfCost, int level = 3);

// Whether the input is meant as a modern armour: it holds the BEGIN or the END line (one of
// them survives any single damaged byte).
bool LooksLikeModernArmour(std::string_view input);

// The text of an armour. Only white space may surround the two lines, and the lines between
// hold nothing but Base64. Throws SealError kModernDamagedText for damage of any kind,
// kModernWrongPassphrase, kModernUnsupported (a container of files).
std::string OpenText(std::string_view armour, std::span<const std::string> keys);

}  // namespace sealwise::modern
