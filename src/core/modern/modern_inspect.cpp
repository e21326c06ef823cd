#include "modern/modern_inspect.h"

#include "app/msg.h"
#include "modern/entry_stream.h"

namespace sealwise::modern {

Inspection InspectModern(ByteSource& source, const std::string& displayName,
                         std::span<const std::string> keys,
                         const std::function<void(const EntryMeta&)>& onEntry) {
    SealedReader reader(source, keys, displayName);
    if (reader.content() != Content::kFiles) {
        throw SealError(Msg::ModernUnsupported, displayName, "a text, not files");
    }
    EntryStream stream(reader);
    Inspection result;
    std::string current;
    try {
        while (std::optional<EntryMeta> entry = stream.NextEntry()) {
            current = entry->name;
            stream.SkipData();
            ++result.soundEntries;
            current.clear();
            if (onEntry) onEntry(*entry);
        }
    } catch (const StreamDamaged&) {
        result.damaged = true;
        result.damagedEntry = current;
    }
    return result;
}

}  // namespace sealwise::modern
