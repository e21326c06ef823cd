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

int FileDecryptedNote(StoredFormat format) {
    return format == StoredFormat::kModern ? ids::kFileDecryptedModern : ids::kFileDecryptedClassic;
}

int TextDecryptedNote(StoredFormat format) {
    return format == StoredFormat::kModern ? ids::kTextDecryptedModern : ids::kTextDecryptedClassic;
}

}  // namespace sealwise::gui
