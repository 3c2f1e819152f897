#include "framework/streams.h"

#include <benchmark/benchmark.h>
#include <cstring>

// Many small little-endian writes, as the file writers of the system make them.
static void BM_MemoryStreamSmallWrites(benchmark::State& state)
{
    for (auto _ : state) {
        TMemoryStream s;
        for (int i = 0; i < state.range(0); ++i)
            s.WriteDWord(static_cast<uint32_t>(i));
        benchmark::DoNotOptimize(s.Memory());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * 4);
}
BENCHMARK(BM_MemoryStreamSmallWrites)->Arg(1 << 10)->Arg(1 << 16);

BENCHMARK_MAIN();
