// sealwise-cli envelope encrypt|decrypt --key-hex HEX|--key-file FILE: the raw cipher envelope,
// stdin to stdout.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <istream>
#include <iterator>
#include <ostream>

#include "app/msg.h"
#include "app/strings.h"
#include "cli/common.h"
#include "cli/secret_file.h"
#include "crypto/cbc_envelope.h"
#include "files/format/entry_name.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {
namespace {

// Input is read and enciphered in pieces of this size (whole cipher blocks).
constexpr std::size_t kChunkSize = std::size_t{1} << 20;
static_assert(kChunkSize % CbcEnvelope::kBlockSize == 0);

// Bytes left in the input when it can tell (a file or a string), so that a bad envelope length
// fails before any output; std::nullopt for a pipe, which only shows it at its end.
std::optional<std::uint64_t> RemainingLength(std::istream& in) {
    const std::streampos here = in.tellg();
    if (here == std::streampos(-1) || !in.seekg(0, std::ios::end)) {
        in.clear();
        return std::nullopt;
    }
    const std::streampos end = in.tellg();
    in.seekg(here);
    if (end == std::streampos(-1) || !in) {
        in.clear();
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(end - here);
}

void PrintBadLength(Io& io, std::uint64_t length) {
    PrintError(io,
               "the input is " + std::to_string(length) +
                   " bytes long; an envelope is a non-zero multiple of 32 bytes",
               "decrypt only what 'envelope encrypt' produced, byte for byte");
}

// Key bytes from hex digits; blanks and line breaks between them are ignored, so a key file
// may end with a newline or group its digits. Returns what is wrong, or nullopt.
std::optional<Msg> ParseHex(std::string_view hex, Bytes& out) {
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    int high = -1;
    for (const char c : hex) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        const int value = nibble(c);
        if (value < 0) return Msg::KeyNotHexDigit;
        if (high < 0) {
            high = value;
        } else {
            out.push_back(static_cast<uint8_t>(high * 16 + value));
            high = -1;
        }
    }
    if (high >= 0) return Msg::KeyOddDigits;
    if (out.empty()) return Msg::KeyEmpty;
    return std::nullopt;
}

// The first character of hex that is neither a digit nor a blank, printable or escaped.
std::string OffendingCharacter(std::string_view hex) {
    for (std::size_t i = 0; i < hex.size(); ++i) {
        const char c = hex[i];
        if (std::isxdigit(static_cast<unsigned char>(c)) || c == ' ' || c == '\t' || c == '\r' ||
            c == '\n') {
            continue;
        }
        // A multi-byte character is shown whole.
        std::size_t length = 1;
        while (i + length < hex.size() &&
               (static_cast<unsigned char>(hex[i + length]) & 0xC0) == 0x80)
            ++length;
        return EscapeForDisplay(hex.substr(i, length));
    }
    return {};
}

// The key text of --key-file; nullopt when the file cannot be read.
std::optional<std::string> ReadKeyFile(const std::string& path) {
    WarnIfReadableByOthers(path, std::cerr);
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        SecureWipe(text);
        return std::nullopt;
    }
    return text;
}

}  // namespace

int RunEnvelope(const Args& args, Io& io) {
    CLI::App app{
        "Encrypt or decrypt standard input with the cipher envelope (Rijndael, 256-bit "
        "block and key, zero padding, CBC from a zero block) and write standard output.",
        "envelope"};
    std::string direction, keyHex, keyFile;
    app.add_option("direction", direction, "encrypt or decrypt")
        ->required()
        ->check(CLI::IsMember({"encrypt", "decrypt"}));
    auto* hexOption = app.add_option(
        "--key-hex", keyHex,
        "key bytes in hex; the first 32 are used, a shorter key is filled with zeros. The key "
        "is visible to other users in the process list: prefer --key-file");
    app.add_option("--key-file", keyFile,
                   "read the key in hex from FILE (blanks and line breaks ignored)")
        ->option_text("FILE")
        ->excludes(hexOption);
    hexOption->option_text("HEX");
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;
    WipeOnExit<std::string> wipeHex(keyHex);

    if (app.count("--key-hex") == 0 && keyFile.empty()) {
        PrintError(io, GetResText(Msg::KeyMissing),
                   GetResText(Msg::UsageHint, "sealwise-cli envelope"));
        return kUsage;
    }
    if (!keyFile.empty()) {
        std::optional<std::string> text = ReadKeyFile(keyFile);
        if (!text) {
            PrintError(io, GetResText(Msg::KeyFileUnreadable, EscapeForDisplay(keyFile)));
            return kFailure;
        }
        keyHex.swap(*text);
        SecureWipe(*text);
    }
    Bytes key;
    WipeOnExit<Bytes> wipeKey(key);
    if (const std::optional<Msg> problem = ParseHex(keyHex, key)) {
        PrintError(io, GetResText(*problem, OffendingCharacter(keyHex)));
        return keyFile.empty() ? kUsage : kFailure;
    }

    // The envelope key: the first 32 bytes, a shorter key filled up with zeros.
    const EnvelopeKey envelopeKey(key);
    CbcEnvelope cipher(envelopeKey.bytes());

    // Streamed chunk by chunk with the chain carried. Every chunk but the last is whole blocks,
    // so only the last one gets padding and the output equals the one-shot envelope.
    const bool encrypt = direction == "encrypt";
    if (!encrypt) {
        const std::optional<std::uint64_t> length = RemainingLength(io.in);
        if (length && (*length == 0 || *length % CbcEnvelope::kBlockSize != 0)) {
            PrintBadLength(io, *length);
            return kFailure;
        }
    }
    // Each piece is enciphered in place: the buffer has room for the padding of a short one.
    Bytes chunk(kChunkSize);
    WipeOnExit<Bytes> wipeChunk(chunk);
    std::uint64_t total = 0;
    for (bool first = true;; first = false) {
        io.in.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(kChunkSize));
        const auto got = static_cast<std::size_t>(io.in.gcount());
        total += got;
        const bool last = got < kChunkSize;  // read() stops short only at the end of the input
        if (!encrypt && last && (got % CbcEnvelope::kBlockSize != 0 || total == 0)) {
            PrintBadLength(io, total);
            return kFailure;
        }
        if (got > 0) {
            const std::span<uint8_t> piece(chunk.data(), CbcEnvelope::PaddedLength(got));
            if (encrypt) {
                cipher.Encrypt(piece.first(got), piece, !first);
            } else {
                cipher.Decrypt(piece, piece, !first);
            }
            io.out.write(reinterpret_cast<const char*>(piece.data()),
                         static_cast<std::streamsize>(piece.size()));
        }
        if (last || !io.out) break;
    }
    return FinishOutput(io) ? kOk : kFailure;
}

}  // namespace sealwise::cli
