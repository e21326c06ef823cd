// Throughput of the piece codec (deflate at the format's level, stored for noise, inflate) and
// of the Base64 armour, on pieces of the sizes the pipelines use.
#include <benchmark/benchmark.h>

#include <string>

#include "files/format/zlib_codec.h"
#include "text/base64.h"
#include "util/sample_data.h"

namespace sealwise {
namespace {

void Compress(benchmark::State& state, bool noise) {
    const auto size = static_cast<std::size_t>(state.range(0));
    const Bytes input = noise ? SampleNoise(size) : SampleLogText(size);
    ZlibCodec codec;
    Bytes out(codec.CompressBound(size));
    std::size_t length = 0;
    for (auto _ : state) {
        length = codec.Compress(input, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["ratio"] = static_cast<double>(length) / static_cast<double>(size);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * int64_t(size));
}

void Decompress(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    const Bytes input = SampleLogText(size);
    ZlibCodec codec;
    Bytes stream(codec.CompressBound(size));
    stream.resize(codec.Compress(input, stream));
    Bytes out(size);
    for (auto _ : state) {
        if (!codec.Decompress(stream, out)) state.SkipWithError("inflate failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * int64_t(size));
}

void Base64Encode(benchmark::State& state) {
    const Bytes input = SampleNoise(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(EncodeBase64(input));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void Base64Decode(benchmark::State& state) {
    const std::string armour = EncodeBase64(SampleNoise(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(DecodeBase64(armour));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK_CAPTURE(Compress, deflate_compress_text, false)
    ->Arg(2 << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Compress, deflate_compress_noise, true)
    ->Arg(2 << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Decompress)->Name("deflate_decompress_text")->Arg(2 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(Base64Encode)->Name("base64_encode")->Arg(64 << 10)->Arg(1 << 20);
BENCHMARK(Base64Decode)->Name("base64_decode")->Arg(64 << 10)->Arg(1 << 20);

}  // namespace
}  // namespace sealwise
