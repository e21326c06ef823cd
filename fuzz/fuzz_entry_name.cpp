// Entry names from a container. Property: an accepted name always resolves to a place below
// the output directory, and the printable forms carry no control or direction characters.
#include <cstdlib>
#include <filesystem>

#include "files/format/entry_name.h"
#include "util/text_codec.h"

using namespace sealwise;

namespace {

bool HasHiddenCharacters(const std::string& text) {
    for (char32_t cp : Utf8ToCodePoints(text)) {
        if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x200E || cp == 0x200F ||
            (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069) || cp == 0x061C) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const DecodedEntryName name = DecodeEntryName(std::span(data, size));
    if (HasHiddenCharacters(PrintableName(name.text)) ||
        HasHiddenCharacters(EscapeForDisplay(name.text))) {
        std::abort();
    }
    if (!name.safe()) return 0;
    const std::filesystem::path root = "/sealwise-out";
    std::filesystem::path joined = root;
    for (const std::string& component : name.components) {
        if (component.empty() || component == "." || component == ".." ||
            component.find_first_of(std::string("/\\\0", 3)) != std::string::npos) {
            std::abort();
        }
        joined /= component;
    }
    const std::string normal = joined.lexically_normal().string();
    if (normal.rfind(root.string() + "/", 0) != 0) std::abort();
    return 0;
}
