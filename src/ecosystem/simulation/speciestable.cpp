#include "ecosystem/simulation/speciestable.h"

namespace ecosystem {

namespace {

struct Row {
    int maturityAge, fullSizeAge, maxAge;
    float sizeAtMaturity, dominatedDeathProbability;
    ToleranceBand height, moisture, sunniness, windiness;
    float fullHeight, growCloseProbability, slopeSensitivity, competitiveness;
};

// Bands read optimum / tolerance / deathProbability / falloff.
// clang-format off
constexpr std::array<Row, DefaultSpeciesCount> Rows = {{
    // Bush
    {3, 10, 25, 0.8f, 0.08f,
     {0.4f, 0.4f, 0.3f, 0.5f}, {0.5f, 0.5f, 0.3f, 0.5f}, {0.4f, 0.6f, 0.4f, 0.1f}, {0.0f, 1.0f, 0.1f, 0.1f},
     1.0f, 0.8f, 0.01f, 0.05f},
    // Weeping willow
    {40, 100, 200, 0.8f, 0.075f,
     {0.01f, 0.05f, 0.5f, 0.9f}, {0.5f, 0.3f, 0.3f, 0.5f}, {0.6f, 0.2f, 0.4f, 0.1f}, {0.0f, 0.3f, 0.2f, 0.1f},
     1.0f, 0.8f, 0.01f, 0.4f},
    // Maple
    {30, 100, 250, 0.8f, 0.07f,
     {0.2f, 0.3f, 0.3f, 0.5f}, {0.6f, 0.3f, 0.3f, 0.5f}, {0.65f, 0.15f, 0.4f, 0.1f}, {0.0f, 0.4f, 0.22f, 0.1f},
     1.5f, 0.8f, 0.05f, 0.6f},
    // Pine
    {60, 200, 250, 0.8f, 0.01f,
     {0.55f, 0.35f, 0.3f, 0.5f}, {0.2f, 0.6f, 0.3f, 0.5f}, {0.4f, 0.5f, 0.4f, 0.1f}, {0.0f, 1.0f, 0.15f, 0.1f},
     2.3f, 0.8f, 0.01f, 0.6f},
    // Beech
    {28, 150, 250, 0.8f, 0.08f,
     {0.2f, 0.2f, 0.2f, 0.5f}, {0.7f, 0.3f, 0.3f, 0.5f}, {0.4f, 0.2f, 0.4f, 0.1f}, {0.0f, 0.6f, 0.2f, 0.1f},
     2.0f, 0.8f, 0.05f, 0.7f},
}};
// clang-format on

} // namespace

std::vector<Species> defaultSpeciesTable()
{
    std::vector<Species> table;
    table.reserve(10);
    for (int i = 0; i < DefaultSpeciesCount; ++i) {
        const Row &row = Rows[static_cast<std::size_t>(i)];
        Species s;
        s.index = i;
        s.seedRate = 5.0f;
        s.fullHeight = row.fullHeight;
        s.growCloseProbability = row.growCloseProbability;
        s.sizeAtMaturity = row.sizeAtMaturity;
        s.maturityAge = row.maturityAge;
        s.fullSizeAge = row.fullSizeAge;
        s.maxAge = row.maxAge;
        s.dominatedDeathProbability = row.dominatedDeathProbability;
        s.slopeSensitivity = row.slopeSensitivity;
        s.competitiveness = row.competitiveness;
        s.heightBand = row.height;
        s.moistureBand = row.moisture;
        s.sunninessBand = row.sunniness;
        s.windinessBand = row.windiness;
        s.seedProduction = 1.0f;
        s.seedBudget = 0.0f;
        table.push_back(std::move(s));
    }
    return table;
}

std::string speciesName(int index)
{
    if (index >= 0 && index < DefaultSpeciesCount)
        return std::string(DefaultSpeciesNames[static_cast<std::size_t>(index)]);
    return "Species " + std::to_string(index);
}

} // namespace ecosystem
