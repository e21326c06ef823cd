#include "files/container_key.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "crypto/rijndael.h"
#include "files/chunk_zero.h"
#include "files/container_format.h"
#include "files/container_reader.h"
#include "util/secure_wipe.h"

namespace sealwise {

using namespace container;

namespace {

// Enough of chunk 0 for the header, the longest name and the block's length field.
constexpr int64_t kChunkZeroPrefix =
    PaddedLength(kHeaderSize + kMaxNameBytes + kBlockHeaderSize + 1);

std::unique_ptr<CRijndael> KeyedCipher(const Bytes& key) {
    if (key.size() < 32) throw std::invalid_argument("key shorter than 32 bytes");
    auto cipher = std::make_unique<CRijndael>();
    MaybeBytes keyCopy = Bytes(key.begin(), key.begin() + 32);
    cipher->EncryptPrepareKey(keyCopy);
    SecureWipe(*keyCopy);
    return cipher;
}

bool ChunkZeroPasses(CRijndael& cipher, std::span<const uint8_t> prefix, bool wholeChunk,
                     bool onlyChunk) {
    Bytes plain;
    if (!cipher.DecryptChunk(prefix, false, plain)) return false;
    const bool passes = ParseChunkZero(plain, wholeChunk, onlyChunk).has_value();
    SecureWipe(plain);
    return passes;
}

}  // namespace

std::size_t ChooseContainerKey(const ContainerReader& reader, std::span<const Bytes> keys) {
    if (keys.size() <= 1) return 0;
    std::vector<std::unique_ptr<CRijndael>> ciphers;
    for (const Bytes& key : keys) ciphers.push_back(KeyedCipher(key));
    Bytes prefix;
    for (const EntryExtent& extent : reader.entries()) {
        if (extent.size == 0) continue;
        const int64_t cipherLength =
            reader.RecordCipherLength(extent.start, extent.start + extent.size);
        if (cipherLength == 0) continue;
        prefix.resize(static_cast<std::size_t>(std::min(cipherLength, kChunkZeroPrefix)));
        if (!reader.ReadExact(extent.start + kRecordHeaderSize, prefix)) continue;
        const bool wholeChunk = static_cast<int64_t>(prefix.size()) == cipherLength;
        const bool onlyChunk = kRecordHeaderSize + cipherLength == extent.size;
        for (std::size_t k = 0; k < ciphers.size(); ++k) {
            if (ChunkZeroPasses(*ciphers[k], prefix, wholeChunk, onlyChunk)) return k;
        }
    }
    return 0;
}

const Bytes& ChooseContainerKey(const std::string& path, const std::vector<Bytes>& keys) {
    if (keys.empty()) throw std::invalid_argument("no key to choose from");
    if (keys.size() == 1) return keys.front();
    const ContainerReader reader(path);
    return keys[ChooseContainerKey(reader, keys)];
}

}  // namespace sealwise
