#pragma once
// The answers the service gives. A refusal is a five-character prefix ("E001 ") followed by a
// text meant for the user; the client shows the answer from its sixth character on.
#include <string>
#include <string_view>

namespace sealwise::mailservice {

inline constexpr std::string_view kSentAnswer = "ok";

struct Refusal {
    int httpStatus;
    std::string_view code;  // four characters; the prefix is the code and a blank
    std::string_view text;
};

inline constexpr Refusal kInvalidRecipient{400, "E001", "Invalid recipient address"};
inline constexpr Refusal kInvalidSender{400, "E002", "Invalid sender address"};
inline constexpr Refusal kInvalidSenderName{400, "E003", "Invalid sender name"};
inline constexpr Refusal kMissingField{400, "E004", "Missing field: "};
inline constexpr Refusal kUnsupportedMode{400, "E005", "Unsupported mode"};
inline constexpr Refusal kMalformedForm{400, "E006", "Malformed form data"};
inline constexpr Refusal kRequestTooLarge{413, "E007", "The request is too large"};
inline constexpr Refusal kFieldTooLong{400, "E008", "Field too long: "};
inline constexpr Refusal kNoEncryptedText{400, "E009", "No encrypted text"};
inline constexpr Refusal kWrongContentType{415, "E010", "Unsupported content type"};
inline constexpr Refusal kNotDelivered{502, "E011",
                                       "The mail could not be delivered, please try again later"};
inline constexpr Refusal kNotFound{404, "E404", "Not found"};
inline constexpr Refusal kMethodNotAllowed{405, "E405", "Method not allowed"};

// "CODE TEXT" plus an optional detail appended to the text (a field name).
inline std::string RefusalAnswer(const Refusal& refusal, std::string_view detail = {}) {
    return std::string(refusal.code) + " " + std::string(refusal.text) + std::string(detail);
}

}  // namespace sealwise::mailservice
