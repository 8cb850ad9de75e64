// The frames of one step for a full board: sixteen dancers, half moving on
// quarter circles, half straight, every one turning.

#include "presentation/whiteboard/WhiteboardAnimation.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ComputeFrames16(benchmark::State &state) {
    WhiteboardItem item;
    for (int n = 1; n <= 16; ++n) {
        const int x = 100 + 60 * n, y = 100 + 20 * n;
        const StepPos to = n % 2 ? StepPos{x + 100, y + 100, 4} : StepPos{x + 250, y - 40, 5};
        item.dancers.append({n, {{x, y, 2}, to}});
    }
    for (auto _ : state) benchmark::DoNotOptimize(ComputeFrames(item, 1));
}
BENCHMARK(BM_ComputeFrames16)->Unit(benchmark::kMicrosecond);

} // namespace
