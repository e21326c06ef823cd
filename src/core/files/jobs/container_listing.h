#pragma once
// The table of contents of a container: each entry's name and restored size. Only the first
// cipher blocks of every chunk are deciphered (the name, and each block's length field), so
// listing a large container reads little of it. Entries come one at a time: a listing holds
// one entry in memory however many the container has.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "crypto/cbc_envelope.h"
#include "files/format/container_reader.h"

namespace sealwise {

struct ListedEntry {
    int64_t number = 0;    // position in the index, from 1
    std::string name;      // as stored, "\" between components; empty when damaged
    int64_t size = 0;      // sum of the uncompressed lengths of its chunks
    bool damaged = false;  // a chunk does not carry a sound compressed block
};

class ContainerListing {
  public:
    // Opens the container and checks the key. Throws SealError as DecryptContainerJob::Run
    // does (108, 424, 426, 103, and 194 when first chunks decipher but none makes sense with key).
    ContainerListing(const std::string& path, std::span<const uint8_t> key);
    ContainerListing(const ContainerListing&) = delete;
    ContainerListing& operator=(const ContainerListing&) = delete;

    // Bytes of the container that no entry accounts for (see ContainerReader).
    int64_t unaccountedBytes() const noexcept { return reader_.unaccountedBytes(); }

    // The next entry; false after the last. Records of size 0 (files that failed when the
    // container was made) are left out.
    bool Next(ListedEntry& entry);

  private:
    std::optional<int32_t> FirstBlockLength(int64_t offset);

    ContainerReader reader_;
    EntryCursor entries_;
    CbcEnvelope cipher_;
};

// All entries at once, for containers known to be small.
std::vector<ListedEntry> ListContainer(const std::string& path, std::span<const uint8_t> key);

}  // namespace sealwise
