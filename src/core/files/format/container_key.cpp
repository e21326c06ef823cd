#include "files/format/container_key.h"

#include <memory>
#include <stdexcept>

#include "crypto/cbc_envelope.h"
#include "files/format/container_reader.h"
#include "files/format/entry_probe.h"

namespace sealwise {

std::size_t ChooseContainerKey(const ContainerReader& reader, std::span<const Bytes> keys) {
    if (keys.size() <= 1) return 0;
    std::vector<std::unique_ptr<CbcEnvelope>> ciphers;
    for (const Bytes& key : keys) ciphers.push_back(std::make_unique<CbcEnvelope>(key));
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
