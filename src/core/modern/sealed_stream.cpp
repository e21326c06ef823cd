#include "modern/sealed_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include "app/msg.h"
#include "files/io/posix_io.h"
#include "modern/modern_keys.h"
#include "modern/wire.h"
#include "util/secure_random.h"
#include "util/secure_wipe.h"

namespace sealwise::modern {

StreamDamaged::StreamDamaged(const std::string& container, const std::string& detail)
    : SealError(Msg::ModernDamagedContainer, container, detail) {}

SealedWriter::SealedWriter(ByteSink& sink, Content content, std::span<const std::string> keys,
                           const KdfCost& cost)
    : sink_(sink) {
    Header header;
    header.content = content;
    header.keyCount = static_cast<uint8_t>(keys.size());
    header.cost = cost;
    FillSecureRandom(header.salt.data(), header.salt.size());
    DerivedKeys derived;
    DeriveKeys(keys, header.salt, cost, derived);
    header.keyCheck = derived.keyCheck;
    crypto_secretstream_xchacha20poly1305_init_push(&state_, header.streamHeader.data(),
                                                    derived.streamKey.data());
    const auto bytes = EncodeHeader(header);
    sink_.Write(bytes);
    const uint8_t start = static_cast<uint8_t>(RecordKind::kStart);
    buffer_.resize(4 + 1 + kAuthBytes);
    StoreLe(buffer_.data(), 1 + kAuthBytes, 4);
    crypto_secretstream_xchacha20poly1305_push(&state_, buffer_.data() + 4, nullptr, &start, 1,
                                               bytes.data(), bytes.size(),
                                               crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
    sink_.Write(buffer_);
}

SealedWriter::~SealedWriter() { SecureWipe(&state_, sizeof state_); }

void SealedWriter::Push(std::span<const uint8_t> record, bool final) {
    const std::size_t length = record.size() + kAuthBytes;
    buffer_.resize(4 + length);
    StoreLe(buffer_.data(), length, 4);
    crypto_secretstream_xchacha20poly1305_push(
        &state_, buffer_.data() + 4, nullptr, record.data(), record.size(), nullptr, 0,
        final ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
              : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
    sink_.Write(buffer_);
    if (final) sink_.Flush();
}

SealedReader::SealedReader(ByteSource& source, std::span<const std::string> keys,
                           const std::string& displayName)
    : source_(source), displayName_(displayName) {
    if (source_.Read(header_) != header_.size()) Damaged("shorter than a header");
    const ParsedHeader parsed = ParseHeader(header_);
    switch (parsed.problem) {
        case HeaderProblem::kNone:
            break;
        case HeaderProblem::kNotModern:
        case HeaderProblem::kDamaged:
            Damaged("header checksum");
        case HeaderProblem::kUnsupported:
            throw SealError(Msg::ModernUnsupported, displayName_, "unsupported header");
    }
    content_ = parsed.header.content;
    // The header says how many keys made it; other keys cannot open it.
    DerivedKeys derived;
    if (keys.size() == parsed.header.keyCount) {
        DeriveKeys(keys, parsed.header.salt, parsed.header.cost, derived);
    }
    if (keys.size() != parsed.header.keyCount ||
        !KeyCheckMatches(derived, parsed.header.keyCheck)) {
        throw SealError(Msg::ModernWrongPassphrase, {}, "key check differs");
    }
    if (crypto_secretstream_xchacha20poly1305_init_pull(&state_, parsed.header.streamHeader.data(),
                                                        derived.streamKey.data()) != 0) {
        Damaged("stream header");
    }
    // The start message authenticates the whole header.
    Bytes plain;
    uint8_t tag = 0;
    if (!ReadMessage(cipher_)) Damaged("no start message");
    plain.resize(cipher_.size() - kAuthBytes);
    if (crypto_secretstream_xchacha20poly1305_pull(&state_, plain.data(), nullptr, &tag,
                                                   cipher_.data(), cipher_.size(), header_.data(),
                                                   header_.size()) != 0 ||
        tag != crypto_secretstream_xchacha20poly1305_TAG_MESSAGE || plain.size() != 1 ||
        plain[0] != static_cast<uint8_t>(RecordKind::kStart)) {
        Damaged("start message");
    }
}

SealedReader::~SealedReader() { SecureWipe(&state_, sizeof state_); }

void SealedReader::Damaged(const std::string& detail) const {
    throw StreamDamaged(displayName_, detail);
}

bool SealedReader::ReadMessage(Bytes& cipher) {
    std::array<uint8_t, 4> length{};
    const std::size_t got = source_.Read(length);
    if (got == 0) return false;
    if (got != length.size()) Damaged("cut off in a length");
    const uint64_t n = LoadLe(length.data(), 4);
    if (n < kAuthBytes + 1 || n > kMaxMessageSize) Damaged("impossible message length");
    cipher.resize(n);
    if (source_.Read(cipher) != n) Damaged("cut off in a message");
    return true;
}

void SealedReader::Next(Bytes& plain, bool& final) {
    if (finished_) Damaged("read behind the end");
    if (!ReadMessage(cipher_)) Damaged("ends without its final message");
    plain.resize(cipher_.size() - kAuthBytes);
    uint8_t tag = 0;
    if (crypto_secretstream_xchacha20poly1305_pull(&state_, plain.data(), nullptr, &tag,
                                                   cipher_.data(), cipher_.size(), nullptr,
                                                   0) != 0) {
        Damaged("message does not authenticate");
    }
    final = tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL;
    if (!final && tag != crypto_secretstream_xchacha20poly1305_TAG_MESSAGE) Damaged("tag");
    if (final) {
        uint8_t extra = 0;
        if (source_.Read({&extra, 1}) != 0) Damaged("bytes behind the final message");
        finished_ = true;
    }
}

bool IsModernContainerFile(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return false;
    std::array<uint8_t, kMagic.size()> start{};
    return ReadAt(fd.get(), 0, start) == start.size() && StartsWithMagic(start);
}

}  // namespace sealwise::modern
