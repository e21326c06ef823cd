#pragma once
// The codes the mail service puts in front of a refusal ("E013 Too many ..."). The service
// sends a short English text after the code; the client shows its own text for the codes it
// knows, in the user's language, and the service's text for any other.
#include <optional>
#include <string_view>

#include "app/msg.h"

namespace sealwise {

namespace service_code {
inline constexpr std::string_view kInvalidRecipient = "E001";
inline constexpr std::string_view kInvalidSender = "E002";
inline constexpr std::string_view kInvalidSenderName = "E003";
inline constexpr std::string_view kMissingField = "E004";
inline constexpr std::string_view kUnsupportedMode = "E005";
inline constexpr std::string_view kMalformedForm = "E006";
inline constexpr std::string_view kRequestTooLarge = "E007";
inline constexpr std::string_view kFieldTooLong = "E008";
inline constexpr std::string_view kNoEncryptedText = "E009";
inline constexpr std::string_view kWrongContentType = "E010";
inline constexpr std::string_view kNotDelivered = "E011";
inline constexpr std::string_view kNotArmour = "E012";
inline constexpr std::string_view kClientLimit = "E013";
inline constexpr std::string_view kRecipientLimit = "E014";
inline constexpr std::string_view kBusy = "E015";
inline constexpr std::string_view kTooSlow = "E016";
}  // namespace service_code

// The client's own text for a service code; nullopt for a code without one.
std::optional<Msg> ServiceCodeTextId(std::string_view code);

}  // namespace sealwise
