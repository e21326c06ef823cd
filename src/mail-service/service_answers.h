#pragma once
// The answers the service gives. A refusal is a five-character prefix ("E001 ") followed by a
// text meant for the user; the client shows the answer from its sixth character on.
#include <string>
#include <string_view>

#include "mail/service_codes.h"

namespace sealwise::mailservice {

inline constexpr std::string_view kSentAnswer = "ok";

struct Refusal {
    int httpStatus;
    std::string_view code;  // four characters; the prefix is the code and a blank
    std::string_view text;
};

inline constexpr Refusal kInvalidRecipient{400, service_code::kInvalidRecipient,
                                           "Invalid recipient address"};
inline constexpr Refusal kInvalidSender{400, service_code::kInvalidSender,
                                        "Invalid sender address"};
inline constexpr Refusal kInvalidSenderName{400, service_code::kInvalidSenderName,
                                            "Invalid sender name"};
inline constexpr Refusal kMissingField{400, service_code::kMissingField, "Missing field: "};
inline constexpr Refusal kUnsupportedMode{400, service_code::kUnsupportedMode, "Unsupported mode"};
inline constexpr Refusal kMalformedForm{400, service_code::kMalformedForm, "Malformed form data"};
inline constexpr Refusal kRequestTooLarge{413, service_code::kRequestTooLarge,
                                          "The request is too large"};
inline constexpr Refusal kFieldTooLong{400, service_code::kFieldTooLong, "Field too long: "};
inline constexpr Refusal kNoEncryptedText{400, service_code::kNoEncryptedText, "No encrypted text"};
inline constexpr Refusal kWrongContentType{415, service_code::kWrongContentType,
                                           "Unsupported content type"};
inline constexpr Refusal kNotDelivered{502, service_code::kNotDelivered,
                                       "The mail could not be delivered, please try again later"};
inline constexpr Refusal kNotArmour{400, service_code::kNotArmour,
                                    "The text is not an encrypted text"};
inline constexpr Refusal kClientLimit{
    429, service_code::kClientLimit, "Too many messages from your address, please try again later"};
inline constexpr Refusal kRecipientLimit{
    429, service_code::kRecipientLimit,
    "Too many messages to this recipient, please try again later"};
inline constexpr Refusal kBusy{503, service_code::kBusy,
                               "The service is busy, please try again shortly"};
inline constexpr Refusal kTooSlow{408, service_code::kTooSlow, "The request took too long"};
inline constexpr Refusal kNotFound{404, "E404", "Not found"};
inline constexpr Refusal kMethodNotAllowed{405, "E405", "Method not allowed"};

// "CODE TEXT" plus an optional detail appended to the text (a field name).
inline std::string RefusalAnswer(const Refusal& refusal, std::string_view detail = {}) {
    return std::string(refusal.code) + " " + std::string(refusal.text) + std::string(detail);
}

}  // namespace sealwise::mailservice
