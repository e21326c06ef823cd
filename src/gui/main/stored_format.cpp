#include "gui/main/stored_format.h"

#include "modern/modern_text.h"
#include "modern/sealed_stream.h"
#include "util/errors.h"

namespace sealwise::gui {

StoredFormat FormatOfText(std::string_view text) {
    return modern::LooksLikeModernArmour(text) ? StoredFormat::kModern : StoredFormat::kClassic;
}

StoredFormat FormatOfContainer(const std::string& path) {
    try {
        return modern::IsModernContainerFile(path) ? StoredFormat::kModern : StoredFormat::kClassic;
    } catch (const SealError&) {
        return StoredFormat::kClassic;
    }
}

Msg FileDecryptedNote(StoredFormat format) {
    return format == StoredFormat::kModern ? Msg::FileDecryptedModern : Msg::FileDecryptedClassic;
}

Msg TextDecryptedNote(StoredFormat format) {
    return format == StoredFormat::kModern ? Msg::TextDecryptedModern : Msg::TextDecryptedClassic;
}

}  // namespace sealwise::gui
