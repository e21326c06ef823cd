// sealwise-cli envelope encrypt|decrypt --key-hex HEX: the raw cipher envelope, stdin to stdout.
#include <algorithm>
#include <istream>
#include <ostream>

#include "cli/common.h"
#include "crypto/rijndael.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {
namespace {

// Input is read and enciphered in pieces of this size (whole cipher blocks).
constexpr std::size_t kChunkSize = std::size_t{1} << 20;
static_assert(kChunkSize % CRijndael::kBlockSize == 0);

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

    // The envelope key: the first 32 bytes, a shorter key filled up with zeros.
    Bytes key32(CRijndael::kBlockSize, 0);
    std::copy_n(key->begin(), std::min(key->size(), key32.size()), key32.begin());
    WipeOnExit<Bytes> wipeKey32(key32);
    CRijndael cipher;
    cipher.EncryptPrepareKey(key32);

    // Streamed chunk by chunk with the chain carried. Every chunk but the last is whole blocks,
    // so only the last one gets padding and the output equals the one-shot envelope.
    const bool encrypt = direction == "encrypt";
    if (!encrypt) {
        const std::optional<std::uint64_t> length = RemainingLength(io.in);
        if (length && (*length == 0 || *length % CRijndael::kBlockSize != 0)) {
            PrintBadLength(io, *length);
            return kFailure;
        }
    }
    Bytes chunk(kChunkSize), result;
    std::uint64_t total = 0;
    for (bool first = true;; first = false) {
        io.in.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(kChunkSize));
        const auto got = static_cast<std::size_t>(io.in.gcount());
        total += got;
        const bool last = got < kChunkSize;  // read() stops short only at the end of the input
        if (!encrypt && last && (got % CRijndael::kBlockSize != 0 || total == 0)) {
            PrintBadLength(io, total);
            return kFailure;
        }
        if (got > 0) {
            const std::span<const uint8_t> piece(chunk.data(), got);
            if (encrypt) {
                cipher.EncryptChunk(piece, !first, result);
            } else {
                cipher.DecryptChunk(piece, !first, result);
            }
            io.out.write(reinterpret_cast<const char*>(result.data()),
                         static_cast<std::streamsize>(result.size()));
        }
        if (last || !io.out) break;
    }
    return FinishOutput(io) ? kOk : kFailure;
}

}  // namespace sealwise::cli
