#pragma once
// The two formats the main window writes and reads: the classic one, which every program of
// that format reads, and the modern one (authenticated, strong key derivation, Sealwise only).
// Decryption finds the format by itself; the notes after a job name the one that was read.
#include <string>
#include <string_view>

namespace sealwise::gui {

enum class StoredFormat { kClassic, kModern };

namespace ids {
inline constexpr int kModernFormatOption = 760;
inline constexpr int kFileDecryptedClassic = 761;
inline constexpr int kFileDecryptedModern = 762;
inline constexpr int kTextDecryptedClassic = 763;
inline constexpr int kTextDecryptedModern = 764;
inline constexpr int kModernFormatTip = 765;
}  // namespace ids

// Modern armour holds its BEGIN or END line; anything else is read as classic armour.
StoredFormat FormatOfText(std::string_view text);
// A modern container starts with its magic. A file that cannot be read counts as classic, whose
// reader then says what is wrong with it.
StoredFormat FormatOfContainer(const std::string& path);

int FileDecryptedNote(StoredFormat format);
int TextDecryptedNote(StoredFormat format);

}  // namespace sealwise::gui
