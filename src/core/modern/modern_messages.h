#pragma once
// String-table ids of the messages the modern format raises (SealError::stringId).
namespace sealwise::msg {

constexpr int kModernDamagedContainer = 880;  // %s: the container
constexpr int kModernDamagedEntry = 881;      // %s: the entry's name
constexpr int kModernDamagedText = 882;
constexpr int kModernWrongPassphrase = 883;
constexpr int kModernUnsupported = 884;      // %s: the container
constexpr int kWeakPassphraseWarning = 885;  // %s: the estimated number of guesses
constexpr int kVerifyDamagedEntry = 886;     // %s: the entry's name or number
constexpr int kVerifyAllSound = 887;         // %s: the number of entries
constexpr int kVerifySomeDamaged = 888;      // %s: the number of damaged entries
constexpr int kWeakKdfCostWarning = 889;     // %s: default MiB, %d: default passes

}  // namespace sealwise::msg
