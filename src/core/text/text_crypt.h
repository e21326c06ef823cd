#pragma once
// Encryption of a text into Base64 armour and back. The plaintext is 32 random bytes, the
// notice line of the interface language, CR LF and the text; it is enciphered in one cipher
// envelope and shown as Base64.
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "app/progress.h"
#include "crypto/keys.h"
#include "text/notice_line.h"
#include "util/bytes.h"

namespace sealwise {

// Refuses a text that cannot be encrypted: SealError 114 when it is empty, 414 when it holds a
// NUL character (decryption ends the text at the first zero byte, so the rest would be lost).
void CheckTextToEncrypt(std::string_view text);

// Key bytes of a passphrase; SealError 114 when it is empty.
Bytes TextKeyFromPassphrase(std::string_view passphrase);
// The keys to try when decrypting with a passphrase (CandidateKeys); SealError 114 when empty.
std::vector<Bytes> TextKeysFromPassphrase(std::string_view passphrase);

// Key bytes combined from the shared keys (SealError 385 / 386 from the combination); the key
// slots are wiped afterwards, whatever the outcome.
Bytes TextKeyFromSharedKeys(SharedKeyStore& store);
// The keys to try when decrypting with shared keys (CandidateSharedKeys); the slots are wiped.
std::vector<Bytes> TextKeysFromSharedKeys(SharedKeyStore& store);

// One encryption or decryption of a text. The envelope is enciphered in slices; between them
// the job reports progress (in cipher blocks: maximum n + 1, the end at n + 1) and stops when
// stop is requested.
class TextCryptJob {
  public:
    // progress may be null; it must outlive the job.
    explicit TextCryptJob(std::stop_token stop = {}, ProgressSink* progress = nullptr)
        : stop_(std::move(stop)), progress_(progress) {}

    // Armour of text (line breaks as they should be stored, CR LF) under key (32 bytes, wiped
    // here). std::nullopt when stopped. Refuses texts as CheckTextToEncrypt does. The notice
    // line is Windows-1252; the text too when it fits, else the UTF-8 marker and UTF-8.
    std::optional<std::string> Encrypt(std::string_view text, Bytes key, int languageOffset);

    // The text held by armour, as the text box shows it (notice line first), under the first
    // of keys (each 32 bytes, all wiped here) that yields a notice line. std::nullopt when
    // stopped. SealError 114 when the armour is empty or its decoded length is zero or not a
    // multiple of 32; 570 when no key yields a notice line (wrong passphrase or damage).
    std::optional<std::string> Decrypt(std::string_view armour, std::vector<Bytes> keys);
    std::optional<std::string> Decrypt(std::string_view armour, Bytes key);

  private:
    // Runs the envelope over in into out slice by slice; false when stopped.
    bool Envelope(std::span<const uint8_t> key, std::span<const uint8_t> in, std::span<uint8_t> out,
                  bool encrypt);

    std::stop_token stop_;
    ProgressSink* progress_;
};

}  // namespace sealwise
