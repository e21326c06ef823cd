#pragma once
// Reads a whole modern container of files without writing anything: every message is
// authenticated and every piece decompressed. Serves listing and verifying.
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "modern/byte_stream.h"
#include "modern/records.h"

namespace sealwise::modern {

struct Inspection {
    uint64_t soundEntries = 0;  // read and checked completely, before any damage
    bool damaged = false;
    std::string damagedEntry;  // the entry the damage hit; empty when between entries
};

// Throws SealError as the restore does before anything is written (wrong passphrase,
// unsupported, damaged header). Damage further on ends the inspection and is returned.
// onEntry, if given, gets each entry once all its data has been checked, in order.
Inspection InspectModern(ByteSource& source, const std::string& displayName,
                         std::span<const std::string> keys,
                         const std::function<void(const EntryMeta&)>& onEntry = {});

}  // namespace sealwise::modern
