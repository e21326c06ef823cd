// CBC envelope throughput of every cipher path this machine runs, piece by piece as the file
// pipelines and the envelope command use it: into a separate buffer and in place.
#include <benchmark/benchmark.h>

#include <string>

#include "crypto/cbc_envelope.h"
#include "crypto/cipher_path.h"
#include "util/sample_data.h"

namespace sealwise {
namespace {

enum class Mode { kEncrypt, kDecrypt, kEncryptInPlace };

void PieceThroughput(benchmark::State& state, CipherPath path, Mode mode) {
    const auto size = static_cast<std::size_t>(state.range(0));
    ForceCipherPath(path);
    CbcEnvelope cipher(SampleNoise(32));
    ForceCipherPath(std::nullopt);
    const Bytes input = SampleNoise(size);
    Bytes output(size), inPlace = input;
    for (auto _ : state) {
        switch (mode) {
            case Mode::kEncrypt:
                cipher.Encrypt(input, output, true);
                break;
            case Mode::kDecrypt:
                cipher.Decrypt(input, output, true);
                break;
            case Mode::kEncryptInPlace:
                cipher.Encrypt(inPlace, inPlace, true);
                break;
        }
        benchmark::DoNotOptimize(output.data());
        benchmark::DoNotOptimize(inPlace.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * int64_t(size));
}

void RegisterAll() {
    const std::pair<Mode, const char*> modes[] = {{Mode::kEncrypt, "cbc_encrypt/"},
                                                  {Mode::kDecrypt, "cbc_decrypt/"},
                                                  {Mode::kEncryptInPlace, "cbc_encrypt_in_place/"}};
    for (CipherPath path : SupportedCipherPaths()) {
        for (const auto& [mode, prefix] : modes) {
            const std::string name = prefix + std::string(CipherPathName(path));
            benchmark::RegisterBenchmark(name.c_str(), PieceThroughput, path, mode)
                ->Arg(256 << 10)
                ->Arg(1 << 20)
                ->Arg(16 << 20)
                ->Unit(benchmark::kMicrosecond);
        }
    }
}

}  // namespace
}  // namespace sealwise

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    sealwise::RegisterAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
