// CBC envelope throughput of every cipher path this machine runs, chunk by chunk as the file
// pipelines use it.
#include <benchmark/benchmark.h>

#include <string>

#include "crypto/cipher_path.h"
#include "crypto/rijndael.h"
#include "util/sample_data.h"

namespace sealwise {
namespace {

void ChunkThroughput(benchmark::State& state, CipherPath path, bool decrypt) {
    const auto size = static_cast<std::size_t>(state.range(0));
    ForceCipherPath(path);
    CRijndael cipher;
    cipher.EncryptPrepareKey(SampleNoise(32));
    ForceCipherPath(std::nullopt);
    const Bytes input = SampleNoise(size);
    Bytes output;
    for (auto _ : state) {
        const bool ok = decrypt ? cipher.DecryptChunk(input, true, output)
                                : cipher.EncryptChunk(input, true, output);
        if (!ok) state.SkipWithError("cipher call failed");
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * int64_t(size));
}

void RegisterAll() {
    for (CipherPath path : SupportedCipherPaths()) {
        for (bool decrypt : {false, true}) {
            const std::string name = std::string("cbc_") + (decrypt ? "decrypt/" : "encrypt/") +
                                     std::string(CipherPathName(path));
            benchmark::RegisterBenchmark(name.c_str(), ChunkThroughput, path, decrypt)
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
