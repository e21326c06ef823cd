#pragma once
// The two formats the main window writes and reads: the classic one, which every program of
// that format reads, and the modern one (authenticated, strong key derivation, Sealwise only).
// Decryption finds the format by itself; the notes after a job name the one that was read.
#include "app/msg.h"
#include "modern/modern_jobs.h"

namespace sealwise::gui {

using modern::StoredFormat;

Msg FileDecryptedNote(StoredFormat format);
Msg TextDecryptedNote(StoredFormat format);

}  // namespace sealwise::gui
