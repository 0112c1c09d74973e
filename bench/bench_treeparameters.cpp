// Parameter file text, parsing and table recomputation: the work a species load does at start.

#include "lignet/treelatexwriter.h"
#include "lignet/treeparameterfile.h"

#include <benchmark/benchmark.h>

namespace {

void writeDefaultSet(benchmark::State &state)
{
    const lignet::TreeParameters p;
    for (auto _ : state)
        benchmark::DoNotOptimize(lignet::TreeParameterFile::text(p));
}
BENCHMARK(writeDefaultSet);

void parseDefaultSet(benchmark::State &state)
{
    const std::string text = lignet::TreeParameterFile::text(lignet::TreeParameters());
    lignet::TreeParameters p;
    for (auto _ : state)
        benchmark::DoNotOptimize(lignet::TreeParameterFile::parse(text, p));
}
BENCHMARK(parseDefaultSet);

void computeAllTables(benchmark::State &state)
{
    lignet::TreeParameters p;
    for (auto _ : state) {
        p.computeAllDistributionTables();
        benchmark::DoNotOptimize(p.strandDistributionTable);
    }
}
BENCHMARK(computeAllTables);

void latexDefaultSet(benchmark::State &state)
{
    const lignet::TreeParameters p;
    const lignet::TreeLatexWriter writer;
    for (auto _ : state)
        benchmark::DoNotOptimize(writer.text(p));
}
BENCHMARK(latexDefaultSet);

} // namespace
