#include "modern/modern_text.h"

#include <sodium.h>

#include "app/msg.h"
#include "modern/byte_stream.h"
#include "modern/records.h"
#include "modern/sealed_stream.h"
#include "util/secure_wipe.h"

namespace sealwise::modern {
namespace {

constexpr std::size_t kLineLength = 64;
constexpr std::string_view kBlank = " \t\r\n";

[[noreturn]] void TextDamaged(const char* detail) {
    throw SealError(Msg::ModernDamagedText, {}, detail);
}

std::string Armour(const Bytes& sealed) {
    std::string base64(sodium_base64_encoded_len(sealed.size(), sodium_base64_VARIANT_ORIGINAL),
                       '\0');
    sodium_bin2base64(base64.data(), base64.size(), sealed.data(), sealed.size(),
                      sodium_base64_VARIANT_ORIGINAL);
    base64.pop_back();  // the terminating NUL
    std::string out = std::string(kArmourBegin) + "\r\n";
    for (std::size_t at = 0; at < base64.size(); at += kLineLength) {
        out += base64.substr(at, kLineLength);
        out += "\r\n";
    }
    return out + std::string(kArmourEnd) + "\r\n";
}

// The Base64 lines between the BEGIN and END lines, with their line breaks.
std::string_view Body(std::string_view armour) {
    const std::size_t first = armour.find_first_not_of(kBlank);
    const std::size_t last = armour.find_last_not_of(kBlank);
    if (first == std::string_view::npos) TextDamaged("empty armour");
    armour = armour.substr(first, last + 1 - first);
    if (!armour.starts_with(kArmourBegin) || !armour.ends_with(kArmourEnd)) {
        TextDamaged("armour lines");
    }
    std::string_view body =
        armour.substr(kArmourBegin.size(), armour.size() - kArmourBegin.size() - kArmourEnd.size());
    // Each line ends with LF or CR LF; no other white space is part of an armour.
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\r' && (i + 1 >= body.size() || body[i + 1] != '\n')) TextDamaged("line break");
        if (c == ' ' || c == '\t') TextDamaged("white space in the armour");
    }
    if (!body.starts_with("\r\n") && !body.starts_with("\n")) TextDamaged("begin line");
    if (!body.ends_with("\n")) TextDamaged("end line");
    return body;
}

}  // namespace

std::string SealText(std::string_view text, std::span<const std::string> keys, const KdfCost& cost,
                     int level) {
    MemorySink sink;
    {
        SealedWriter writer(sink, Content::kText, keys, cost);
        PieceCodec codec(level);
        Bytes record;
        for (std::size_t at = 0; at < text.size(); at += kPieceSize) {
            const std::string_view piece = text.substr(at, kPieceSize);
            codec.Encode({reinterpret_cast<const uint8_t*>(piece.data()), piece.size()}, record);
            writer.Push(record);
            SecureWipe(record);
        }
        writer.Push(EncodeEndRecord(text.size()), true);
    }
    return Armour(sink.bytes);
}

bool LooksLikeModernArmour(std::string_view input) {
    return input.find(kArmourBegin) != std::string_view::npos ||
           input.find(kArmourEnd) != std::string_view::npos;
}

std::string OpenText(std::string_view armour, std::span<const std::string> keys) {
    const std::string_view body = Body(armour);
    Bytes sealed(body.size());
    std::size_t length = 0;
    const char* end = nullptr;
    if (sodium_base642bin(sealed.data(), sealed.size(), body.data(), body.size(), "\r\n", &length,
                          &end, sodium_base64_VARIANT_ORIGINAL) != 0 ||
        end != body.data() + body.size()) {
        TextDamaged("not Base64");
    }
    sealed.resize(length);
    try {
        MemorySource source(sealed);
        SealedReader reader(source, keys, {});
        if (reader.content() != Content::kText) {
            throw SealError(Msg::ModernUnsupported, {}, "files, not a text");
        }
        std::string text;
        PieceCodec codec;
        Bytes record, piece;
        for (;;) {
            bool final = false;
            reader.Next(record, final);
            if (final) {
                const std::optional<uint64_t> count = DecodeEndRecord(record);
                if (!count || *count != text.size()) TextDamaged("end record");
                return text;
            }
            if (!codec.Decode(record, piece)) TextDamaged("data record");
            text.append(piece.begin(), piece.end());
            SecureWipe(piece);
        }
    } catch (const StreamDamaged&) {
        TextDamaged("stream");
    }
}

}  // namespace sealwise::modern
