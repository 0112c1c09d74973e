// Generation of the default tree (1000 strands, about 2000 segments and 5000 leaves) into a sink
// that only counts, and with the .crs vertex export running.

#include "lignet/countingtreesink.h"
#include "lignet/treerenderer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

void setCounters(benchmark::State &state, const lignet::CountingTreeSink &sink)
{
    const double drawings = static_cast<double>(state.iterations());
    state.counters["segments/s"] =
        benchmark::Counter(static_cast<double>(sink.segments), benchmark::Counter::kIsRate);
    state.counters["segments"] = static_cast<double>(sink.segments) / drawings;
    state.counters["leaves"] = static_cast<double>(sink.leaves) / drawings;
}

void DefaultTreeIntoCountingSink(benchmark::State &state)
{
    lignet::TreeRenderer tree;
    lignet::CountingTreeSink sink;
    for (auto _ : state)
        tree.drawTree(sink);
    setCounters(state, sink);
}
BENCHMARK(DefaultTreeIntoCountingSink)->Unit(benchmark::kMillisecond);

void DefaultTreeInWindIntoCountingSink(benchmark::State &state)
{
    lignet::TreeRenderer tree;
    tree.settings().windOn = true;
    lignet::CountingTreeSink sink;
    for (auto _ : state)
        tree.drawTree(sink);
    setCounters(state, sink);
}
BENCHMARK(DefaultTreeInWindIntoCountingSink)->Unit(benchmark::kMillisecond);

void DefaultTreeIntoVertexExport(benchmark::State &state)
{
    const bool highQuality = state.range(0) != 0;
    const std::string path = (std::filesystem::temp_directory_path() / "verdalis_bench_tree.crs").string();
    lignet::TreeRenderer tree;
    tree.settings().highQuality = highQuality;
    lignet::CountingTreeSink sink;
    for (auto _ : state) {
        tree.requestVertexExport(path);
        tree.drawTree(sink);
    }
    setCounters(state, sink);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::remove(path.c_str());
}
BENCHMARK(DefaultTreeIntoVertexExport)->Arg(0)->Arg(1)->ArgName("highQuality")->Unit(benchmark::kMillisecond);

void LargeTreeIntoCountingSink(benchmark::State &state)
{
    lignet::TreeParameters parameters;
    parameters.numberOfStrands = static_cast<int>(state.range(0));
    lignet::TreeRenderer tree(parameters);
    lignet::CountingTreeSink sink;
    for (auto _ : state)
        tree.drawTree(sink);
    setCounters(state, sink);
}
BENCHMARK(LargeTreeIntoCountingSink)
    ->Arg(10000)
    ->Arg(100000)
    ->ArgName("strands")
    ->Unit(benchmark::kMillisecond);

} // namespace
