#include "files/format/stored_names.h"

#include <string_view>
#include <unordered_map>

#include "app/msg.h"
#include "files/format/entry_name.h"

namespace sealwise {

bool NameComesBack(const EncryptItem& item, const Bytes& stored) {
    const DecodedEntryName decoded = DecodeEntryName(stored);
    if (!decoded.safe()) return false;
    const std::string_view path = item.path;
    if (item.relativeName == kOwnFileMarker) {
        // One component, and the start of the base name (long names are cut).
        const std::string_view base = path.substr(path.find_last_of('/') + 1);
        return decoded.components.size() == 1 && !decoded.components[0].empty() &&
               base.substr(0, decoded.components[0].size()) == decoded.components[0];
    }
    std::string tail;
    for (const std::string& component : decoded.components) tail += "/" + component;
    // A backslash inside a component would split it here, and bytes that are not UTF-8 come
    // back as other characters: either way the tail no longer ends the path.
    const std::string full = path.starts_with('/') ? std::string(path) : "/" + std::string(path);
    return full.size() >= tail.size() && full.ends_with(tail);
}

std::vector<std::variant<Bytes, SealError>> StoredNames(const std::vector<EncryptItem>& items) {
    std::vector<std::variant<Bytes, SealError>> names;
    names.reserve(items.size());
    std::unordered_map<std::string, std::size_t> firstWithName;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const EncryptItem& item = items[i];
        try {
            Bytes stored = EntryNameBytes(item.path, item.relativeName);
            if (!NameComesBack(item, stored)) {
                throw SealError(Msg::NameNotStorable, item.path, "name would not come back");
            }
            const std::string key(stored.begin(), stored.end());
            const auto [it, fresh] = firstWithName.emplace(key, i);
            if (!fresh) {
                const std::string shown = DecodeEntryName(stored).text;
                throw SealError(Msg::NameCollision,
                                "\"" + items[it->second].path + "\", \"" + item.path +
                                    "\" \u2192 \"" + PrintableName(shown) + "\"",
                                "two inputs share a stored name");
            }
            names.emplace_back(std::move(stored));
        } catch (const SealError& error) {
            if (error.stringId() == Msg::NameCollision) throw;
            names.emplace_back(error);
        }
    }
    return names;
}

}  // namespace sealwise
