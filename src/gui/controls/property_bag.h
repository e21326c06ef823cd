#pragma once
// The saved settings of a control: named values stored with a window's layout. Writing a value
// that equals its default stores nothing; reading a name that is absent gives the default.
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>

namespace sealwise::gui {

using PropertyValue = std::variant<int64_t, std::string>;

// A stored value of the wrong kind (text where a number is expected, or the reverse).
class PropertyTypeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class PropertyBag {
  public:
    virtual ~PropertyBag() = default;

    virtual std::optional<PropertyValue> Find(const std::string& name) const = 0;
    virtual void Store(const std::string& name, PropertyValue value) = 0;

    int64_t ReadInt(const std::string& name, int64_t defaultValue) const;
    std::string ReadText(const std::string& name, const std::string& defaultValue) const;
    bool ReadBool(const std::string& name, bool defaultValue) const;

    void WriteInt(const std::string& name, int64_t value, int64_t defaultValue);
    void WriteText(const std::string& name, const std::string& value,
                   const std::string& defaultValue);
    void WriteBool(const std::string& name, bool value, bool defaultValue);
};

// A bag in memory, used for copies of controls and by tests.
class MemoryPropertyBag : public PropertyBag {
  public:
    std::optional<PropertyValue> Find(const std::string& name) const override;
    void Store(const std::string& name, PropertyValue value) override;

    bool Contains(const std::string& name) const { return values_.contains(name); }
    std::size_t Size() const { return values_.size(); }

  private:
    std::map<std::string, PropertyValue> values_;
};

}  // namespace sealwise::gui
