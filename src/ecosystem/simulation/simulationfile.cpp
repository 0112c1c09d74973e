#include "ecosystem/simulation/simulationfile.h"

#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/terrain/terrainmodel.h"
#include "io/atomicfilewriter.h"
#include "io/printableexcerpt.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <locale>
#include <optional>
#include <ostream>
#include <sstream>
#include <string_view>
#include <vector>

namespace ecosystem {

namespace {

constexpr std::uintmax_t MaxFileBytes = std::uintmax_t{1} << 30;

// Hands out the white-space separated words of the file with their line numbers, and turns each
// into a number only when the whole word is that number.
class Words {
public:
    explicit Words(std::string_view text) : text_(text) {}

    bool next()
    {
        while (pos_ < text_.size() && isSpace(text_[pos_])) {
            if (text_[pos_] == '\n')
                ++line_;
            ++pos_;
        }
        if (pos_ >= text_.size()) {
            word_ = {};
            return false;
        }
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !isSpace(text_[pos_]))
            ++pos_;
        word_ = text_.substr(start, pos_ - start);
        return true;
    }

    int line() const { return line_; }
    std::string_view word() const { return word_; }

    template <typename T> std::optional<T> number() const
    {
        T value{};
        const char *end = word_.data() + word_.size();
        const auto [ptr, ec] = std::from_chars(word_.data(), end, value);
        if (word_.empty() || ec != std::errc() || ptr != end)
            return std::nullopt;
        return value;
    }

private:
    static bool isSpace(char c)
    {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::string_view word_;
};

// Reads the numbers of a file in order. The first problem found is kept as the reason the file is
// refused; reads after it return zero values and are ignored, so callers check failed() at the
// points where a bad value could run away (counts) and once at the end.
class Parser {
public:
    explicit Parser(std::string_view text) : words_(text) {}

    template <typename T> T read(const std::string &what)
    {
        if (failed())
            return T{};
        if (!words_.next()) {
            error_ = "the file ends before " + what;
            return T{};
        }
        const std::optional<T> value = words_.template number<T>();
        if (!value) {
            const char *kind = std::is_floating_point_v<T> ? "a number" : "a whole number";
            fail(what + " '" + io::printableExcerpt(words_.word()) + "' is not " + kind);
            return T{};
        }
        return *value;
    }

    int readIntIn(const std::string &what, long long low, long long high)
    {
        const int value = read<int>(what);
        if (!failed() && (value < low || value > high))
            fail(what + " " + std::to_string(value) + " is outside " + std::to_string(low) + " to " +
                 std::to_string(high));
        return value;
    }

    float readFinite(const std::string &what)
    {
        const float value = read<float>(what);
        if (!failed() && !std::isfinite(value))
            fail(what + " is not finite");
        return value;
    }

    float readNonNegative(const std::string &what)
    {
        const float value = readFinite(what);
        if (!failed() && value < 0.0f)
            fail(what + " is negative");
        return value;
    }

    float readFloatIn(const std::string &what, float low, float high)
    {
        const float value = readFinite(what);
        if (!failed() && (value < low || value > high))
            fail(what + " " + number(value) + " is outside " + number(low) + " to " + number(high));
        return value;
    }

    // Keeps the first reason only.
    void fail(const std::string &reason)
    {
        if (!failed())
            error_ = "line " + std::to_string(words_.line()) + ": " + reason;
    }

    bool failed() const { return !error_.empty(); }
    const std::string &error() const { return error_; }
    bool atEnd() { return !words_.next(); }

private:
    static std::string number(float value)
    {
        std::ostringstream text;
        text.imbue(std::locale::classic());
        text << value;
        return text.str();
    }

    Words words_;
    std::string error_;
};

// Everything a file sets, parsed before any of it reaches the simulation.
struct FileState {
    int step = -1;
    std::vector<std::vector<Plant>> plants;
    std::vector<float> budgets;
    SeedVector seeds;
    std::array<int, 4> area{};
    long long total = 0;
    std::uint32_t largestId = 0;
};

// Size, height, vigour and strength must lie where growth can bring them: they set how many seeds
// the plant owes, and a plant owing millions would stall the next step.
Plant readPlant(Parser &in, int species, float fullHeight, int width, int height)
{
    constexpr float maxSize = SimulationFile::MaxPlantSize;
    Plant p;
    p.species = static_cast<std::int8_t>(species);
    p.cellX = static_cast<std::int16_t>(in.readIntIn("cell column", 0, width - 1));
    p.cellY = static_cast<std::int16_t>(in.readIntIn("cell row", 0, height - 1));
    p.position.x = in.readFinite("position x");
    p.position.y = in.readFinite("position y");
    p.position.z = in.readFinite("position z");
    const auto id = in.read<unsigned long long>("plant id");
    if (id > std::numeric_limits<std::uint32_t>::max())
        in.fail("plant id " + std::to_string(id) + " is too large");
    p.id = static_cast<std::uint32_t>(id);
    p.age = static_cast<std::int16_t>(in.readIntIn("age", 0, Plant::MaxAge));
    p.size = in.readFloatIn("size", 0.0f, maxSize);
    p.height = in.readFloatIn("height", 0.0f, fullHeight * maxSize);
    p.prodornost = in.readFloatIn("prodornost", 0.0f, 1.0f);
    p.strength = in.readFloatIn("strength", 0.0f, maxSize);
    p.slope = in.readFinite("slope");
    p.moisture = in.readFinite("moisture");
    p.sunniness = in.readFinite("sunniness");
    p.windiness = in.readFinite("windiness");
    p.relativeHeight = in.readFinite("relative height");
    p.timeOfDeath = in.readNonNegative("time of death");
    p.dominated = false;
    return p;
}

} // namespace

std::string SimulationFile::compose(const EcosystemSimulation &simulation)
{
    std::ostringstream o;
    o.imbue(std::locale::classic());
    o << simulation.step() << '\n' << simulation.species().size() << '\n';
    for (const Species &s : simulation.species()) {
        o << s.plants.size() << '\n';
        for (const Plant &p : s.plants) {
            o << p.cellX << '\t' << p.cellY << '\t' << p.position.x << '\t' << p.position.y << '\t'
              << p.position.z << '\t' << p.id << '\t' << p.age << '\t' << p.size << '\t' << p.height << '\t'
              << p.prodornost << '\t' << p.strength << '\t' << p.slope << '\t' << p.moisture << '\t'
              << p.sunniness << '\t' << p.windiness << '\t' << p.relativeHeight << '\t' << p.timeOfDeath
              << '\n';
        }
    }
    for (const Species &s : simulation.species())
        o << s.seedBudget << '\t';
    for (const unsigned long long state : simulation.getSeeds())
        o << state << '\t';
    o << '\n';
    const TerrainModel *t = simulation.terrain();
    o << t->lupaMinX() << '\t' << t->lupaMaxX() << '\t' << t->lupaMinY() << '\t' << t->lupaMaxY() << '\n';
    return o.str();
}

SimulationOutcome SimulationFile::save(const EcosystemSimulation &simulation, const std::string &path,
                                       std::ostream &out, std::ostream &err)
{
    if (!simulation.terrain()) {
        err << "Could not save simulation: no terrain attached\n";
        return SimulationOutcome::failure("no terrain attached");
    }
    std::string reason;
    if (!io::AtomicFileWriter::write(path, compose(simulation), &reason)) {
        err << "Could not save simulation: " << reason << '\n';
        return SimulationOutcome::failure(reason);
    }
    out << "Simulation @ step " << simulation.step() << "successfouly saved" << '\n';
    return SimulationOutcome::success();
}

SimulationOutcome SimulationFile::load(EcosystemSimulation &simulation, const std::string &path,
                                       std::ostream &out, std::ostream &err)
{
    const auto refuse = [&](const std::string &reason) {
        err << "Could not load simulation from '" << path << "': " << reason << '\n';
        return SimulationOutcome::failure(reason);
    };
    std::error_code ec;
    const std::uintmax_t bytes = std::filesystem::file_size(path, ec);
    if (!ec && bytes > MaxFileBytes)
        return refuse("the file is too large to be a simulation file");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return refuse("could not open the file");
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad())
        return refuse("could not read the file");
    return restore(simulation, text.str(), path, out, err);
}

SimulationOutcome SimulationFile::restore(EcosystemSimulation &simulation, const std::string &text,
                                          const std::string &source, std::ostream &out, std::ostream &err)
{
    TerrainModel *terrain = simulation.terrain_;
    if (!terrain) {
        err << "Could not load simulation from '" << source << "': no terrain attached\n";
        return SimulationOutcome::failure("no terrain attached");
    }
    const int width = terrain->width();
    const int height = terrain->height();
    const std::size_t speciesCount = simulation.species_.size();

    FileState state;
    Parser in(text);
    state.step = in.read<int>("the step");
    const int count = in.read<int>("the species count");
    if (!in.failed() && (count < 0 || static_cast<std::size_t>(count) != speciesCount)) {
        err << "Number of species size mismatch!" << '\n';
        return SimulationOutcome::failure("the file holds " + std::to_string(count) +
                                          " species, the simulation " + std::to_string(speciesCount));
    }
    if (!in.failed() && speciesCount == 0 && state.step != -1)
        in.fail("a file without species must come from a simulation that has not started (step -1)");
    if (!in.failed() && speciesCount > 0 && (state.step < 0 || state.step > MaxSteps))
        in.fail("step " + std::to_string(state.step) + " is outside 0 to " + std::to_string(MaxSteps));

    state.plants.resize(speciesCount);
    for (std::size_t s = 0; s < speciesCount && !in.failed(); ++s) {
        const std::string which = "species " + std::to_string(s);
        const int n = in.read<int>("the plant count of " + which);
        if (n < 0)
            in.fail("the plant count of " + which + " is negative");
        state.total += std::max(n, 0);
        if (state.total > MaxPlants)
            in.fail("more than " + std::to_string(MaxPlants) + " plants");
        std::vector<Plant> &plants = state.plants[s];
        // A plant line takes at least 34 characters, so the text bounds what a count may reserve.
        if (!in.failed())
            plants.reserve(std::min<std::size_t>(static_cast<std::size_t>(n), text.size() / 34));
        for (int k = 0; k < n && !in.failed(); ++k) {
            plants.push_back(
                readPlant(in, static_cast<int>(s), simulation.species_[s].fullHeight, width, height));
            state.largestId = std::max(state.largestId, plants.back().id);
        }
    }
    for (std::size_t s = 0; s < speciesCount; ++s) {
        const float budget = in.readFinite("the seed budget of species " + std::to_string(s));
        if (!in.failed() && (budget < 0.0f || budget > MaxSeedBudget))
            in.fail("the seed budget of species " + std::to_string(s) + " is outside 0 to 1");
        state.budgets.push_back(budget);
    }
    for (std::size_t k = 0; k < SeedVectorSize; ++k)
        state.seeds.push_back(in.read<unsigned long long>("the state of " + std::string(GeneratorNames[k])));
    state.area[0] = in.readIntIn("lupaMinX", 0, width - 1);
    state.area[1] = in.readIntIn("lupaMaxX", 0, width - 1);
    state.area[2] = in.readIntIn("lupaMinY", 0, height - 1);
    state.area[3] = in.readIntIn("lupaMaxY", 0, height - 1);
    if (!in.failed() && !in.atEnd())
        in.fail("unexpected text after the plant area");
    if (in.failed()) {
        err << "Could not load simulation from '" << source << "': damaged file, " << in.error() << '\n';
        return SimulationOutcome::failure(in.error());
    }

    // Every value is valid: install the new state.
    simulation.step_ = state.step;
    for (std::size_t s = 0; s < speciesCount; ++s) {
        simulation.species_[s].plants = std::move(state.plants[s]);
        simulation.species_[s].seedBudget = state.budgets[s];
    }
    simulation.setSeeds(state.seeds);
    terrain->setPlantArea(state.area[0], state.area[1], state.area[2], state.area[3]);
    // Seeding anywhere should use the loaded plant area at once, as the plant area setters do.
    terrain->rebuildPlantableCells();
    simulation.grid_.rebuild(simulation.species_);
    // Every loaded plant counts as constructed; the counter also moves past the loaded ids so that
    // plants created later never share an id with a loaded one.
    const auto counted =
        static_cast<std::uint32_t>(simulation.plantIdCounter_ + static_cast<std::uint64_t>(state.total));
    simulation.plantIdCounter_ = std::max(counted, state.largestId);

    out << "Simulation @ step " << state.step << " with " << state.total << " plants successfouly loaded"
        << '\n';
    PhaseTimes times;
    times.decide = simulation.lastTimes_.decide;
    simulation.recordStatistics(times);
    return SimulationOutcome::success();
}

} // namespace ecosystem
