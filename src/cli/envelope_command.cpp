// sealwise-cli envelope encrypt|decrypt --key-hex HEX: the raw cipher envelope, stdin to stdout.
#include <istream>
#include <iterator>
#include <ostream>

#include "cli/common.h"
#include "crypto/rijndael.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {
namespace {

std::optional<Bytes> ParseHex(const std::string& hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    Bytes out;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = nibble(hex[i]), lo = nibble(hex[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return out;
}

}  // namespace

int RunEnvelope(const Args& args, Io& io) {
    CLI::App app{
        "Encrypt or decrypt standard input with the cipher envelope (Rijndael, 256-bit "
        "block and key, zero padding, CBC from a zero block) and write standard output.",
        "envelope"};
    std::string direction, keyHex;
    app.add_option("direction", direction, "encrypt or decrypt")
        ->required()
        ->check(CLI::IsMember({"encrypt", "decrypt"}));
    app.add_option("--key-hex", keyHex,
                   "key bytes in hex; the first 32 are used, a shorter key is filled with zeros")
        ->required();
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;

    std::optional<Bytes> key = ParseHex(keyHex);
    WipeOnExit<std::string> wipeHex(keyHex);
    if (!key) {
        PrintError(io, "--key-hex is not an even number of hexadecimal digits");
        return kUsage;
    }
    WipeOnExit<Bytes> wipeKey(*key);

    Bytes input((std::istreambuf_iterator<char>(io.in)), std::istreambuf_iterator<char>());
    CRijndael cipher;
    MaybeBytes result = direction == "encrypt" ? cipher.EncryptData(input, key, true)
                                               : cipher.DecryptData(input, key);
    if (!result) {
        PrintError(io,
                   "the input is " + std::to_string(input.size()) +
                       " bytes long; an envelope is a non-zero multiple of 32 bytes",
                   "decrypt only what 'envelope encrypt' produced, byte for byte");
        return kFailure;
    }
    io.out.write(reinterpret_cast<const char*>(result->data()),
                 static_cast<std::streamsize>(result->size()));
    io.out.flush();
    if (!io.out) {
        PrintError(io, "could not write the output");
        return kFailure;
    }
    return kOk;
}

}  // namespace sealwise::cli
