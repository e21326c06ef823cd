#include "files/format/container_key.h"

#include <memory>
#include <stdexcept>

#include "crypto/rijndael.h"
#include "files/format/container_reader.h"
#include "files/format/entry_probe.h"
#include "util/secure_wipe.h"

namespace sealwise {

namespace {

std::unique_ptr<CRijndael> KeyedCipher(const Bytes& key) {
    if (key.size() < 32) throw std::invalid_argument("key shorter than 32 bytes");
    auto cipher = std::make_unique<CRijndael>();
    MaybeBytes keyCopy = Bytes(key.begin(), key.begin() + 32);
    cipher->EncryptPrepareKey(keyCopy);
    SecureWipe(*keyCopy);
    return cipher;
}

}  // namespace

std::size_t ChooseContainerKey(const ContainerReader& reader, std::span<const Bytes> keys) {
    if (keys.size() <= 1) return 0;
    std::vector<std::unique_ptr<CRijndael>> ciphers;
    for (const Bytes& key : keys) ciphers.push_back(KeyedCipher(key));
    EntryCursor cursor = reader.Entries();
    for (EntryExtent extent; cursor.Next(extent);) {
        for (std::size_t k = 0; k < ciphers.size(); ++k) {
            const ChunkZeroProbe probe = ProbeChunkZero(reader, *ciphers[k], extent);
            if (probe.status == ChunkZeroProbe::Status::kSound) return k;
            if (probe.status == ChunkZeroProbe::Status::kUnreadable)
                break;  // damaged for every key
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
