// MD5 throughput: DigestFileToHexStr over the file named by
// $OLVADO_BENCH_MD5_ARCHIVO, and the block transform alone over a buffer in
// memory. "olvado_md5_bench --digerir FILE" only prints the file's digest, so
// that bench/md5.sh can measure the peak memory of a plain digest run.
#include "common/clsMD5File.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

void BM_DigestFileToHexStr(benchmark::State& state) {
    const char* archivo = std::getenv("OLVADO_BENCH_MD5_ARCHIVO");
    if (!archivo || !std::filesystem::exists(archivo)) {
        state.SkipWithError("OLVADO_BENCH_MD5_ARCHIVO no apunta a un archivo");
        return;
    }
    const auto tamano = std::filesystem::file_size(archivo);
    for (auto _ : state) {
        olvado::clsMD5File md5;
        benchmark::DoNotOptimize(md5.DigestFileToHexStr(archivo));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * tamano));
}
BENCHMARK(BM_DigestFileToHexStr)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MD5Update(benchmark::State& state) {
    std::vector<std::uint8_t> datos(static_cast<std::size_t>(state.range(0)), 0x5A);
    olvado::clsMD5File md5;
    for (auto _ : state) {
        md5.MD5Init();
        md5.MD5Update(static_cast<int32_t>(datos.size()), datos.data());
        md5.MD5Final();
        benchmark::DoNotOptimize(md5.GetValues());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * datos.size()));
}
BENCHMARK(BM_MD5Update)->Arg(64)->Arg(4096)->Arg(1 << 20);

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--digerir") == 0) {
        olvado::clsMD5File md5;
        std::printf("%s\n", md5.DigestFileToHexStr(argv[2]).c_str());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
