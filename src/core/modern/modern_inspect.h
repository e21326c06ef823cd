#pragma once
// Reads a whole modern container of files without writing anything: every message is
// authenticated and every piece decompressed. Serves listing and verifying.
#include <span>
#include <string>
#include <vector>

#include "modern/byte_stream.h"
#include "modern/records.h"

namespace sealwise::modern {

struct Inspection {
    std::vector<EntryMeta> entries;  // the sound ones, in order
    bool damaged = false;
    std::string damagedEntry;  // the entry the damage hit; empty when between entries
};

// Throws SealError as the restore does before anything is written (wrong passphrase,
// unsupported, damaged header). Damage further on ends the inspection and is returned.
Inspection InspectModern(ByteSource& source, const std::string& displayName,
                         std::span<const std::string> keys);

}  // namespace sealwise::modern
