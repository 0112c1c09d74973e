#include "lignet/treeparameterfile.h"

#include "io/atomicfilewriter.h"
#include "io/printableexcerpt.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <istream>
#include <iterator>
#include <limits>
#include <string_view>

namespace lignet {

namespace {

const char *const distributionNames[DistributionCount] = {
    "strand distribution",   "branching angles",      "minimal branch length",
    "maximal branch length", "branch length scaling", "gravimorphism impact",
};

void setReason(std::string *reason, const std::string &text)
{
    if (reason)
        *reason = text;
}

// %g with the default precision of 6, independent of the process locale.
void appendNumber(std::string &out, double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    out.append(buffer, result.ptr);
}

std::string curveName(int index)
{
    return std::string(index % 2 == 0 ? "the G curve" : "the W curve") + " of the " +
           distributionNames[index / 2];
}

// Walks the file text keeping the line number, so every complaint can say where it arose.
class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    const std::string &error() const { return m_error; }

    bool readPathLine(const char *what, std::string &out)
    {
        if (m_pos >= m_text.size())
            return fail(std::string("expected ") + what + ", found the end of the file");
        std::size_t end = m_text.find('\n', m_pos);
        const std::size_t next = end == std::string_view::npos ? m_text.size() : end + 1;
        if (end == std::string_view::npos)
            end = m_text.size();
        std::string_view line = m_text.substr(m_pos, end - m_pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find('\r') != std::string_view::npos)
            return fail(std::string(what) + " contains a carriage return");
        if (line.find('\0') != std::string_view::npos)
            return fail(std::string(what) + " contains a NUL character");
        if (line.size() > TreeParameterFile::MaxPathLength)
            return fail(std::string(what) + " is longer than " +
                        std::to_string(TreeParameterFile::MaxPathLength) + " characters");
        out.assign(line);
        m_pos = next;
        ++m_line;
        return true;
    }

    bool readInt(const std::string &what, long min, long max, long &out)
    {
        std::string_view token;
        if (!nextToken(what + " (a whole number)", token))
            return false;
        std::int32_t value = 0;
        if (!parseWhole(token, value))
            return fail("expected " + what + " (a whole number), found \"" + io::printableExcerpt(token) +
                        "\"");
        if (value < min || value > max)
            return fail(what + " must lie between " + std::to_string(min) + " and " + std::to_string(max) +
                        ", found " + std::to_string(value));
        out = value;
        return true;
    }

    bool readDouble(const std::string &what, double &out)
    {
        std::string_view token;
        if (!nextToken(what + " (a number)", token))
            return false;
        std::string_view digits = token;
        if (digits.size() > 1 && digits.front() == '+')
            digits.remove_prefix(1);
        double value = 0.0;
        const char *end = digits.data() + digits.size();
        const auto [ptr, ec] = std::from_chars(digits.data(), end, value, std::chars_format::general);
        if (ec != std::errc() || ptr != end)
            return fail("expected " + what + " (a number), found \"" + io::printableExcerpt(token) + "\"");
        if (!std::isfinite(value))
            return fail("expected " + what + " (a finite number), found \"" + io::printableExcerpt(token) +
                        "\"");
        out = value;
        return true;
    }

    bool readFloat(const std::string &what, float &out)
    {
        double value = 0.0;
        if (!readDouble(what, value))
            return false;
        if (std::fabs(value) > std::numeric_limits<float>::max())
            return fail(what + " is too large, found " + std::to_string(value));
        out = static_cast<float>(value);
        return true;
    }

    bool readBool(const std::string &what, bool &out)
    {
        std::string_view token;
        if (!nextToken(what + " (0 or 1)", token))
            return false;
        if (token != "0" && token != "1")
            return fail("expected " + what + " (0 or 1), found \"" + io::printableExcerpt(token) + "\"");
        out = token == "1";
        return true;
    }

private:
    static bool isSpace(char c)
    {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }

    static bool parseWhole(std::string_view token, std::int32_t &value)
    {
        if (token.size() > 1 && token.front() == '+')
            token.remove_prefix(1);
        const char *end = token.data() + token.size();
        const auto [ptr, ec] = std::from_chars(token.data(), end, value);
        return ec == std::errc() && ptr == end;
    }

    bool nextToken(const std::string &what, std::string_view &token)
    {
        while (m_pos < m_text.size() && isSpace(m_text[m_pos])) {
            if (m_text[m_pos] == '\n')
                ++m_line;
            ++m_pos;
        }
        if (m_pos >= m_text.size())
            return fail("expected " + what + ", found the end of the file");
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && !isSpace(m_text[m_pos]))
            ++m_pos;
        token = m_text.substr(start, m_pos - start);
        return true;
    }

    bool fail(const std::string &message)
    {
        m_error = "line " + std::to_string(m_line) + ": " + message;
        return false;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    long m_line = 1;
    std::string m_error;
};

bool readScalars(Reader &r, TreeParameters &p)
{
    constexpr long intMax = std::numeric_limits<std::int32_t>::max();
    constexpr long intMin = std::numeric_limits<std::int32_t>::min();
    long strands = 0;
    long density = 0;
    long type = 0;
    const bool ok =
        r.readInt("the number of strands", 0, intMax, strands) &&
        r.readDouble("the trunk height", p.trunkHeight) &&
        r.readFloat("the branch thickness per strand", p.branchThicknessPerStrand) &&
        r.readDouble("the phyllotaxis angle", p.phyllotaxisAngle) &&
        r.readDouble("the gravicentralism", p.gravicentralism) &&
        r.readBool("the display-leaves flag", p.displayLeaves) && r.readFloat("the leaf size", p.leafSize) &&
        r.readInt("the leaf density", 0, intMax, density) && r.readDouble("the wind speed", p.windSpeed) &&
        r.readInt("the leaf type", intMin, intMax, type);
    p.numberOfStrands = static_cast<std::int32_t>(strands);
    p.leafDensity = static_cast<std::int32_t>(density);
    p.leafType = static_cast<std::int32_t>(type);
    return ok;
}

bool readCurves(Reader &r, TreeParameters &p)
{
    for (int c = 0; c < 2 * DistributionCount; ++c) {
        const std::string name = curveName(c);
        long count = 0;
        if (!r.readInt("the number of points of " + name, 2, TreeParameterFile::MaxCurvePoints, count))
            return false;
        Krivulja curve;
        curve.points().reserve(static_cast<std::size_t>(count));
        for (long i = 0; i < count; ++i) {
            KrivuljaPoint point;
            const std::string which = "point " + std::to_string(i + 1) + " of " + name;
            if (!r.readDouble("x of " + which, point.x) || !r.readDouble("y of " + which, point.y))
                return false;
            curve.append(point);
        }
        p.curves[c] = std::move(curve);
    }
    return true;
}

bool allFinite(const TreeParameters &p)
{
    const double scalars[] = {p.trunkHeight,      p.branchThicknessPerStrand,
                              p.phyllotaxisAngle, p.gravicentralism,
                              p.leafSize,         p.windSpeed};
    for (double v : scalars)
        if (!std::isfinite(v))
            return false;
    for (const Krivulja &curve : p.curves)
        for (const KrivuljaPoint &point : curve.points())
            if (!std::isfinite(point.x) || !std::isfinite(point.y))
                return false;
    return true;
}

bool tableIsFinite(const DistributionTable &table)
{
    for (const auto &row : table)
        for (const double v : row)
            if (!std::isfinite(v))
                return false;
    return true;
}

} // namespace

std::string TreeParameterFile::text(const TreeParameters &p)
{
    std::string out;
    out += p.barkTexturePath;
    out += '\n';
    out += p.leafTexturePath;
    out += '\n';
    out += std::to_string(p.numberOfStrands);
    for (double v : {p.trunkHeight, static_cast<double>(p.branchThicknessPerStrand), p.phyllotaxisAngle,
                     p.gravicentralism}) {
        out += '\t';
        appendNumber(out, v);
    }
    out += p.displayLeaves ? "\t1\t" : "\t0\t";
    appendNumber(out, p.leafSize);
    out += '\t';
    out += std::to_string(p.leafDensity);
    out += '\t';
    appendNumber(out, p.windSpeed);
    out += '\t';
    out += std::to_string(p.leafType);
    out += '\n';
    for (const Krivulja &curve : p.curves) {
        out += std::to_string(curve.size());
        out += "\t\n";
        for (const KrivuljaPoint &point : curve.points()) {
            appendNumber(out, point.x);
            out += '\t';
            appendNumber(out, point.y);
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

bool TreeParameterFile::parse(const std::string &content, TreeParameters &parameters, std::string *reason)
{
    if (content.size() > MaxFileSize) {
        setReason(reason, "the file is larger than " + std::to_string(MaxFileSize / (1024 * 1024)) + " MiB");
        return false;
    }
    // Everything goes into a copy first so that a damaged file changes nothing.
    TreeParameters loaded = parameters;
    Reader r(content);
    if (!r.readPathLine("the bark texture path", loaded.barkTexturePath) ||
        !r.readPathLine("the leaf texture path", loaded.leafTexturePath) || !readScalars(r, loaded) ||
        !readCurves(r, loaded)) {
        setReason(reason, r.error());
        return false;
    }
    loaded.computeAllDistributionTables();
    // Finite points far apart can still overflow between them (a slope of 1e300 / 1e-300); such
    // curves give tables that are not numbers, which no tree can be built from.
    for (int d = 0; d < DistributionCount; ++d) {
        if (!tableIsFinite(loaded.table(d))) {
            setReason(reason, std::string("the curves of the ") + distributionNames[d] +
                                  " give values that are not finite numbers");
            return false;
        }
    }
    parameters = std::move(loaded);
    return true;
}

bool TreeParameterFile::read(std::istream &in, TreeParameters &parameters, std::string *reason)
{
    std::string content;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        content.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (content.size() > MaxFileSize)
            break;
    }
    if (in.bad()) {
        setReason(reason, "the file could not be read");
        return false;
    }
    return parse(content, parameters, reason);
}

bool TreeParameterFile::save(const TreeParameters &parameters, const std::string &path, std::string *reason)
{
    if (!allFinite(parameters)) {
        setReason(reason, "the parameter set holds a value that is not a finite number");
        return false;
    }
    return io::AtomicFileWriter::write(path, text(parameters), reason);
}

bool TreeParameterFile::load(TreeParameters &parameters, const std::string &path, std::string *reason)
{
    // A folder opens like a file on some systems and only fails on reading.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        setReason(reason, "cannot open \"" + path + "\" for reading: it is a folder");
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        setReason(reason, "cannot open \"" + path + "\" for reading");
        return false;
    }
    std::string why;
    if (!read(in, parameters, &why)) {
        setReason(reason, path + ": " + why);
        return false;
    }
    return true;
}

} // namespace lignet
