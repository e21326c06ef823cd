// sealwise-cli bench: throughput of each processing stage on this machine, one line per stage.
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>

#include "cli/common.h"
#include "crypto/cbc_envelope.h"
#include "crypto/cipher_path.h"
#include "files/format/zlib_codec.h"
#include "modern/byte_stream.h"
#include "modern/records.h"
#include "modern/sealed_stream.h"
#include "text/base64.h"
#include "util/sample_data.h"

namespace sealwise::cli {
namespace {

// A stage processes the whole sample once per call. Stages that need data of another kind
// (text to compress, a stream to inflate) prepare it themselves; their throughput still
// counts sample bytes, which for the codecs are the uncompressed bytes.
struct Stage {
    std::string name;
    std::function<void(const Bytes& sample)> run;
};

void AddCodecStages(std::vector<Stage>& stages, std::size_t sampleSize) {
    auto codec = std::make_shared<ZlibCodec>();
    auto text = std::make_shared<Bytes>(SampleLogText(sampleSize));
    auto stream = std::make_shared<Bytes>(codec->CompressBound(text->size()));
    stream->resize(codec->Compress(*text, *stream));
    auto out = std::make_shared<Bytes>(codec->CompressBound(sampleSize));
    stages.push_back({"deflate-compress", [codec, text, out](const Bytes&) {
                          out->resize(codec->CompressBound(text->size()));
                          codec->Compress(*text, *out);
                      }});
    stages.push_back({"deflate-compress-noise", [codec, out](const Bytes& sample) {
                          out->resize(codec->CompressBound(sample.size()));
                          codec->Compress(sample, *out);
                      }});
    stages.push_back({"deflate-decompress", [codec, stream, out](const Bytes& sample) {
                          out->resize(sample.size());
                          if (!codec->Decompress(*stream, *out))
                              throw std::runtime_error("inflate");
                      }});
    auto encoded = std::make_shared<std::string>();
    stages.push_back(
        {"base64-encode", [encoded](const Bytes& sample) { *encoded = EncodeBase64(sample); }});
    auto armour = std::make_shared<std::string>();
    auto decoded = std::make_shared<Bytes>();
    stages.push_back({"base64-decode", [armour, decoded](const Bytes& sample) {
                          if (armour->empty()) *armour = EncodeBase64(sample);
                          *decoded = DecodeBase64(*armour);
                      }});
}

// The modern format's steps, beside the classic ones above: packing the same text as
// deflate-compress (zstd with the format's settings), noise (found incompressible and stored),
// unpacking, and sealing (XChaCha20-Poly1305 of the message stream).
void AddModernStages(std::vector<Stage>& stages, std::size_t sampleSize) {
    using modern::PieceCodec;
    auto codec = std::make_shared<PieceCodec>();
    auto text = std::make_shared<Bytes>(SampleLogText(std::min(sampleSize, modern::kMaxPieceSize)));
    auto record = std::make_shared<Bytes>();
    codec->Encode(*text, *record);
    auto out = std::make_shared<Bytes>();
    stages.push_back(
        {"modern-pack", [codec, text, out](const Bytes&) { codec->Encode(*text, *out); }});
    stages.push_back({"modern-pack-noise", [codec, out](const Bytes& sample) {
                          const std::size_t n = std::min(sample.size(), modern::kMaxPieceSize);
                          codec->Encode(std::span(sample).first(n), *out);
                      }});
    stages.push_back({"modern-unpack", [codec, record, out](const Bytes&) {
                          if (!codec->Decode(*record, *out)) throw std::runtime_error("unpack");
                      }});
    struct Discard final : modern::ByteSink {
        void Write(std::span<const uint8_t>) override {}
    };
    auto sink = std::make_shared<Discard>();
    const std::string key = "bench";
    auto writer = std::make_shared<modern::SealedWriter>(
        *sink, modern::Content::kFiles, std::span(&key, 1),
        modern::KdfCost{modern::kMinKdfOps, modern::kMinKdfMemory});
    stages.push_back(
        {"modern-seal", [sink, writer](const Bytes& sample) { writer->Push(sample); }});
}

void AddCipherStages(std::vector<Stage>& stages) {
    for (CipherPath path : SupportedCipherPaths()) {
        ForceCipherPath(path);
        auto cipher = std::make_shared<CbcEnvelope>(Bytes(32, 0x5A));
        ForceCipherPath(std::nullopt);
        auto out = std::make_shared<Bytes>();
        const std::string prefix = "cipher-" + std::string(CipherPathName(path));
        stages.push_back({prefix + "-encrypt", [cipher, out](const Bytes& sample) {
                              out->resize(CbcEnvelope::PaddedLength(sample.size()));
                              cipher->Encrypt(sample, *out, true);
                          }});
        // Decryption takes whole blocks: the sample's last partial block is left out.
        stages.push_back({prefix + "-decrypt", [cipher, out](const Bytes& sample) {
                              const std::size_t whole =
                                  sample.size() / CbcEnvelope::kBlockSize * CbcEnvelope::kBlockSize;
                              out->resize(whole);
                              if (whole > 0) {
                                  cipher->Decrypt(std::span(sample).first(whole), *out, true);
                              }
                          }});
    }
}

// Every stage the program has; new stages go here.
std::vector<Stage> AllStages(std::size_t sampleSize) {
    std::vector<Stage> stages;
    AddCipherStages(stages);
    AddCodecStages(stages, sampleSize);
    AddModernStages(stages, sampleSize);
    return stages;
}

// Bytes per second of the best of `rounds` timed rounds, each at least `roundSeconds` long:
// the best round is the one least disturbed by other work on the machine.
double Throughput(const Stage& stage, const Bytes& sample, double roundSeconds, int rounds) {
    using Clock = std::chrono::steady_clock;
    stage.run(sample);  // warm caches and tables
    double best = 0;
    for (int r = 0; r < rounds; ++r) {
        std::size_t bytes = 0;
        const auto start = Clock::now();
        std::chrono::duration<double> elapsed{};
        do {
            stage.run(sample);
            bytes += sample.size();
            elapsed = Clock::now() - start;
        } while (elapsed.count() < roundSeconds);
        best = std::max(best, static_cast<double>(bytes) / elapsed.count());
    }
    return best;
}

}  // namespace

int RunBench(const Args& args, Io& io) {
    CLI::App app{
        "Measure the throughput of each processing stage on this machine and print one "
        "line per stage: its name and megabytes (10^6 bytes) per second.",
        "bench"};
    double seconds = 1.0;
    std::size_t sampleKib = 2048;
    std::string filter;
    app.add_option("--seconds", seconds, "time spent on each stage, 0.01 to 600 (default 1)")
        ->check(CLI::Range(0.01, 600.0))
        ->option_text("SECONDS");
    app.add_option("--sample-kib", sampleKib,
                   "KiB of data each stage processes per call, 1 to 1048576 (default 2048)")
        ->check(CLI::Range(1, 1 << 20))
        ->option_text("KIB");
    app.add_option("--filter", filter, "measure only the stages whose name contains TEXT")
        ->option_text("TEXT");
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;

    constexpr int kRounds = 5;
    // Whole cipher blocks, so that every stage can take the same sample.
    const Bytes sample = SampleNoise(sampleKib * 1024, 1);

    io.err << "cipher path in use: " << CipherPathName(ActiveCipherPath()) << "\n";
    bool any = false;
    for (const Stage& stage : AllStages(sample.size())) {
        if (stage.name.find(filter) == std::string::npos) continue;
        any = true;
        const double rate = Throughput(stage, sample, seconds / kRounds, kRounds);
        char line[96];
        std::snprintf(line, sizeof line, "%-24s %10.1f MB/s\n", stage.name.c_str(), rate / 1e6);
        io.out << line << std::flush;
    }
    if (!any) {
        PrintError(io, "no stage name contains '" + filter + "'",
                   "run without --filter to see all");
        return kUsage;
    }
    return kOk;
}

}  // namespace sealwise::cli
