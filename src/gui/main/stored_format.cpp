#include "gui/main/stored_format.h"

namespace sealwise::gui {

int FileDecryptedNote(StoredFormat format) {
    return format == StoredFormat::kModern ? ids::kFileDecryptedModern : ids::kFileDecryptedClassic;
}

int TextDecryptedNote(StoredFormat format) {
    return format == StoredFormat::kModern ? ids::kTextDecryptedModern : ids::kTextDecryptedClassic;
}

}  // namespace sealwise::gui
