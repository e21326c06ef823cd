#pragma once
// The authenticated message stream of a modern container: the header, then messages of
// crypto_secretstream_xchacha20poly1305, each behind its u32 length; the last one carries
// TAG_FINAL and nothing may follow it (docs/format-modern.md, 1 and 3).
#include <sodium.h>

#include <memory>
#include <span>
#include <string>

#include "modern/byte_stream.h"
#include "modern/modern_format.h"
#include "util/errors.h"

namespace sealwise::modern {

// The stream does not authenticate, is cut off or has bytes behind its end. The message names
// the container (kModernDamagedContainer); readers of entries rename it after the entry.
class StreamDamaged : public SealError {
  public:
    explicit StreamDamaged(const std::string& container, const std::string& detail);
};

class SealedWriter {
  public:
    // Derives the keys (the slow step), writes the header and the start message.
    SealedWriter(ByteSink& sink, Content content, std::span<const std::string> keys,
                 const KdfCost& cost);
    ~SealedWriter();
    SealedWriter(const SealedWriter&) = delete;
    SealedWriter& operator=(const SealedWriter&) = delete;

    // Encrypts one record as the next message; final marks the last one.
    void Push(std::span<const uint8_t> record, bool final = false);

  private:
    ByteSink& sink_;
    crypto_secretstream_xchacha20poly1305_state state_;
    Bytes buffer_;
};

class SealedReader {
  public:
    // Reads the header, derives the keys and opens the start message. Throws SealError:
    // kModernWrongPassphrase for a key check that does not match, kModernUnsupported, and
    // StreamDamaged for a header or start message that is damaged. displayName names the
    // container in messages.
    SealedReader(ByteSource& source, std::span<const std::string> keys,
                 const std::string& displayName);
    ~SealedReader();
    SealedReader(const SealedReader&) = delete;
    SealedReader& operator=(const SealedReader&) = delete;

    Content content() const noexcept { return content_; }
    const std::string& displayName() const noexcept { return displayName_; }

    // The next record into plain. final is set for the last one, once it is sure that no byte
    // follows it. Throws StreamDamaged; must not be called after the final record.
    void Next(Bytes& plain, bool& final);

    // A failure at this point of the stream.
    [[noreturn]] void Damaged(const std::string& detail) const;

  private:
    bool ReadMessage(Bytes& cipher);  // false at a clean end of the data

    ByteSource& source_;
    std::string displayName_;
    Content content_ = Content::kFiles;
    crypto_secretstream_xchacha20poly1305_state state_;
    std::array<uint8_t, kHeaderSize> header_{};
    Bytes cipher_;
    bool finished_ = false;
};

// What the first bytes of a file or stream are: a modern container or not. Reads nothing
// beyond the magic.
bool IsModernContainerFile(const std::string& path);

}  // namespace sealwise::modern
