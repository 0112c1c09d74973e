#include "lignet/quadricgeometry.h"

#include <cmath>
#include <numbers>

namespace lignet {

// The mixed float and double arithmetic below is deliberate: each intermediate value has the type
// GLU gives it, so the vertices match the quadrics' own to the last bit where possible.

QuadricSlices::QuadricSlices(int sliceCount) : slices(sliceCount)
{
    if (slices < 2)
        return;
    sines.resize(static_cast<std::size_t>(slices) + 1);
    cosines.resize(sines.size());
    for (int i = 0; i < slices; ++i) {
        const auto angle = static_cast<float>(2 * std::numbers::pi * i / slices);
        sines[static_cast<std::size_t>(i)] = std::sin(angle);
        cosines[static_cast<std::size_t>(i)] = std::cos(angle);
    }
    sines.back() = sines.front();
    cosines.back() = cosines.front();
}

void cylinderVertices(const QuadricSlices &slices, double base, double top, double height, int stacks,
                      std::vector<QuadricVertex> &out)
{
    out.clear();
    if (slices.slices < 2 || stacks < 1 || base < 0.0 || top < 0.0 || height < 0.0)
        return;
    const auto deltaRadius = static_cast<float>(base - top);
    const auto length = static_cast<float>(std::sqrt(deltaRadius * deltaRadius + height * height));
    if (length == 0.0f)
        return;
    const float zNormal = deltaRadius / length;
    const auto xyNormalRatio = static_cast<float>(height / length);
    const auto sliceCount = static_cast<float>(slices.slices);
    const auto stackCount = static_cast<float>(stacks);

    out.reserve(static_cast<std::size_t>(stacks) * slices.sines.size() * 2);
    for (int j = 0; j < stacks; ++j) {
        const auto zLow = static_cast<float>(j * height / stacks);
        const auto zHigh = static_cast<float>((j + 1) * height / stacks);
        const auto radiusLow = static_cast<float>(base - deltaRadius * (static_cast<float>(j) / stackCount));
        const auto radiusHigh =
            static_cast<float>(base - deltaRadius * (static_cast<float>(j + 1) / stackCount));
        const float tLow = static_cast<float>(j) / stackCount;
        const float tHigh = static_cast<float>(j + 1) / stackCount;
        for (std::size_t i = 0; i < slices.sines.size(); ++i) {
            const auto sine = static_cast<float>(slices.sines[i]);
            const auto cosine = static_cast<float>(slices.cosines[i]);
            const math::Vector3f normal{static_cast<float>(xyNormalRatio * slices.sines[i]),
                                        static_cast<float>(xyNormalRatio * slices.cosines[i]), zNormal};
            const float s = 1 - static_cast<float>(i) / sliceCount;
            out.push_back({{radiusLow * sine, radiusLow * cosine, zLow}, normal, s, tLow});
            out.push_back({{radiusHigh * sine, radiusHigh * cosine, zHigh}, normal, s, tHigh});
        }
    }
}

void diskFanVertices(const QuadricSlices &slices, double radius, std::vector<QuadricVertex> &out)
{
    out.clear();
    if (slices.slices < 2 || !(radius > 0.0))
        return;
    const auto rim = static_cast<float>(radius);
    const auto texture = static_cast<float>(rim / radius / 2);
    const math::Vector3f up{0.0f, 0.0f, 1.0f};
    out.reserve(slices.sines.size() + 1);
    out.push_back({{0.0f, 0.0f, 0.0f}, up, 0.5f, 0.5f});
    for (auto i = static_cast<std::ptrdiff_t>(slices.slices); i >= 0; --i) {
        const auto sine = static_cast<float>(slices.sines[static_cast<std::size_t>(i)]);
        const auto cosine = static_cast<float>(slices.cosines[static_cast<std::size_t>(i)]);
        out.push_back({{rim * sine, rim * cosine, 0.0f},
                       up,
                       static_cast<float>(texture * sine + 0.5),
                       static_cast<float>(texture * cosine + 0.5)});
    }
}

} // namespace lignet
