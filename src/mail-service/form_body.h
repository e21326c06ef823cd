#pragma once
// Strict reading of an application/x-www-form-urlencoded body.
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sealwise::mailservice {

// Field name -> value, both decoded to raw bytes ("+" is a blank, "%XX" one byte).
using FormFields = std::map<std::string, std::string, std::less<>>;

// nullopt when a pair lacks "=", a "%" is not followed by two hexadecimal digits, or a name
// occurs twice. An empty body gives no fields.
std::optional<FormFields> DecodeFormBody(std::string_view body);

}  // namespace sealwise::mailservice
