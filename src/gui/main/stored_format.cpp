#include "gui/main/stored_format.h"

namespace sealwise::gui {

Msg FileDecryptedNote(StoredFormat format) {
    return format == StoredFormat::kModern ? Msg::FileDecryptedModern : Msg::FileDecryptedClassic;
}

Msg TextDecryptedNote(StoredFormat format) {
    return format == StoredFormat::kModern ? Msg::TextDecryptedModern : Msg::TextDecryptedClassic;
}

}  // namespace sealwise::gui
