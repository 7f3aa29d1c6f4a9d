#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>

#include "bench_shell.h"

// Counts every allocation, so that the benchmarks can show that a dispatch makes none. The
// replacement pair is matched; GCC only fails to see it after inlining.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
long long allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace tdwk::bench {
namespace {

void ReportAllocations(benchmark::State& state, long long before) {
  state.counters["allocs"] = benchmark::Counter(static_cast<double>(allocations - before),
                                                benchmark::Counter::kAvgIterations);
}

// The player's own procedure called directly: the floor a dispatch is measured against.
void BM_DirectPlayerProcedure(benchmark::State& state) {
  BenchShell b;
  const clsHWND& window = b.shell.state.subclassedWindows->back();
  for (auto _ : state) {
    benchmark::DoNotOptimize(b.host.playerWindows().CallWindowProc(window.ReturnValue, window.hWnd,
                                                                   WM_LBUTTONDOWN, 1, 2));
  }
}
BENCHMARK(BM_DirectPlayerProcedure);

// One message through the installed procedure of the last of the four player windows (the
// longest search), passed on to the player.
void BM_WindowProcDispatch(benchmark::State& state) {
  BenchShell b;
  const clsHWND& window = b.shell.state.subclassedWindows->back();
  const std::int32_t installed = b.host.WindowProcedureOf("swfBackgroundCorner");
  const long long before = allocations;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        b.host.playerWindows().CallWindowProc(installed, window.hWnd, WM_LBUTTONDOWN, 1, 2));
  }
  ReportAllocations(state, before);
}
BENCHMARK(BM_WindowProcDispatch);

// A right-button press, answered without reaching the player.
void BM_WindowProcRightButton(benchmark::State& state) {
  BenchShell b;
  const clsHWND& window = b.shell.state.subclassedWindows->back();
  const std::int32_t installed = b.host.WindowProcedureOf("swfBackgroundCorner");
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        b.host.playerWindows().CallWindowProc(installed, window.hWnd, WM_RBUTTONDOWN, 0, 0));
  }
}
BENCHMARK(BM_WindowProcRightButton);

}  // namespace
}  // namespace tdwk::bench

BENCHMARK_MAIN();
