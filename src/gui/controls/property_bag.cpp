#include "gui/controls/property_bag.h"

namespace sealwise::gui {

namespace {
// Booleans are saved the way the layout format has always kept them: true -1, false 0.
constexpr int64_t kTrue = -1;
constexpr int64_t kFalse = 0;
}  // namespace

int64_t PropertyBag::ReadInt(const std::string& name, int64_t defaultValue) const {
    const auto value = Find(name);
    if (!value) return defaultValue;
    if (const auto* number = std::get_if<int64_t>(&*value)) return *number;
    throw PropertyTypeError("saved property \"" + name + "\" holds text where a number belongs");
}

std::string PropertyBag::ReadText(const std::string& name, const std::string& defaultValue) const {
    const auto value = Find(name);
    if (!value) return defaultValue;
    if (const auto* text = std::get_if<std::string>(&*value)) return *text;
    throw PropertyTypeError("saved property \"" + name + "\" holds a number where text belongs");
}

bool PropertyBag::ReadBool(const std::string& name, bool defaultValue) const {
    return ReadInt(name, defaultValue ? kTrue : kFalse) != 0;
}

void PropertyBag::WriteInt(const std::string& name, int64_t value, int64_t defaultValue) {
    if (value != defaultValue) Store(name, value);
}

void PropertyBag::WriteText(const std::string& name, const std::string& value,
                            const std::string& defaultValue) {
    if (value != defaultValue) Store(name, value);
}

void PropertyBag::WriteBool(const std::string& name, bool value, bool defaultValue) {
    WriteInt(name, value ? kTrue : kFalse, defaultValue ? kTrue : kFalse);
}

std::optional<PropertyValue> MemoryPropertyBag::Find(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

void MemoryPropertyBag::Store(const std::string& name, PropertyValue value) {
    values_[name] = std::move(value);
}

}  // namespace sealwise::gui
