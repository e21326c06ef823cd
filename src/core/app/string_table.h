#pragma once
// Parsing of the tab-separated string table (resources/strings.tsv). One row per base id:
// id, name, German, English, Spanish, French; an empty text cell means no entry in that
// language. The name is for the code (the generated enum class Msg) and is not kept here.
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

namespace sealwise {

// Offsets added to a base id to reach the entry of a language.
constexpr int kOffsetGerman = 0;
constexpr int kOffsetEnglish = 900;
constexpr int kOffsetSpanish = 1900;
constexpr int kOffsetFrench = 2900;
// Column order of the table file.
constexpr int kColumnOffsets[] = {kOffsetGerman, kOffsetEnglish, kOffsetSpanish, kOffsetFrench};

// Texts keyed by full id (base id + language offset).
using StringTable = std::unordered_map<int, std::string>;

// A malformed table (wrong column count, bad id, missing name, bad escape, duplicate id).
class StringTableFormatError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Parses the table text; lines starting with "#" and blank lines are skipped. Cells may use
// the escapes \n \r \t and \\.
StringTable ParseStringTable(std::string_view tsv);

// The table compiled into the program (generated at build time).
std::string_view EmbeddedStringTable();

}  // namespace sealwise
