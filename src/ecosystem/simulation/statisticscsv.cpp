#include "ecosystem/simulation/statisticscsv.h"

#include "ecosystem/simulation/simulationstatistics.h"
#include "ecosystem/simulation/speciestable.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

namespace ecosystem {

namespace {

using Series = std::vector<lignet::Krivulja>;

void appendField(std::string &line, const std::string &text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        line += text;
        return;
    }
    line += '"';
    for (const char c : text) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

// std::to_chars ignores the locale, so the decimal mark is always '.'; fixed notation keeps a
// million plants from becoming "1e+06".
void appendNumber(std::string &line, double value)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    line.append(buffer, result.ptr);
}

std::size_t longest(const Series &series)
{
    std::size_t size = 0;
    for (const lignet::Krivulja &s : series)
        size = std::max(size, s.size());
    return size;
}

// Point `index` of a list of `total` records, in a series that began when its species appeared
// and so lacks the earliest records.
std::optional<double> countAt(const Series &series, std::size_t species, std::size_t index, std::size_t total)
{
    if (species >= series.size())
        return std::nullopt;
    const lignet::Krivulja &s = series[species];
    const std::size_t missing = total > s.size() ? total - s.size() : 0;
    if (index < missing || index - missing >= s.size())
        return std::nullopt;
    return s[index - missing].y;
}

} // namespace

std::string statisticsCsv(const SimulationStatistics &statistics)
{
    const Series &living = statistics.livingSeries();
    const Series &rendered = statistics.renderedSeries();
    const std::vector<std::size_t> &framesBefore = statistics.framesBeforeLiving();
    const std::size_t records = std::min(longest(living), framesBefore.size());
    const std::size_t frames = longest(rendered);
    // A record made before any species existed (a loaded empty simulation) has no points.
    const std::size_t firstMark = framesBefore.size() - records;

    std::string text = "step";
    for (std::size_t i = 0; i < living.size(); ++i) {
        const std::string name = speciesName(static_cast<int>(i));
        text += ',';
        appendField(text, name + " living");
        text += ',';
        appendField(text, name + " rendered");
    }
    text += '\n';

    for (std::size_t r = 0; r < records; ++r) {
        const std::size_t from = std::min(framesBefore[firstMark + r], frames);
        const std::size_t to = r + 1 < records ? std::min(framesBefore[firstMark + r + 1], frames) : frames;
        const bool drawn = to > from;
        appendNumber(text, static_cast<double>(r));
        for (std::size_t i = 0; i < living.size(); ++i) {
            text += ',';
            if (const auto count = countAt(living, i, r, records))
                appendNumber(text, *count);
            text += ',';
            if (drawn)
                if (const auto count = countAt(rendered, i, to - 1, frames))
                    appendNumber(text, *count);
        }
        text += '\n';
    }
    return text;
}

} // namespace ecosystem
