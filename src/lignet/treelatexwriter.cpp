#include "lignet/treelatexwriter.h"

#include <algorithm>
#include <charconv>
#include <ostream>
#include <sstream>

// Marks a piece of text that the user interface translates: the GUI's catalogue collects the
// marked pieces under the context TreeLatexWriter, and the translator given to the writer looks
// them up there. The core itself writes them as they are.
#define TRANSLATABLE(context, text) text

namespace lignet {

namespace {

// Factor the designer shows on the value axis for a G curve point of distribution d.
double gCurveFactor(int d, double y)
{
    switch (d) {
    case StrandDistribution:
        return std::clamp(0.5 * y + 0.5, 0.5, 1.0);
    case BranchingAngles:
        return std::min(180.0 * y, 180.0);
    case GravimorphismImpact:
        return std::clamp(360.0 * y - 180.0, -180.0, 180.0);
    default:
        return 10.0 * y;
    }
}

// The four distributions whose paragraphs share one pattern.
struct LengthLikeParagraph {
    const char *name;
    const char *symbol;
    const char *orders;
    const char *equation;
    const char *gSymbol;
    const char *wSymbol;
};

const LengthLikeParagraph lengthLikeParagraphs[] = {
    {TRANSLATABLE("TreeLatexWriter", "Minimum relative branch length,"), " $m^{g,w}$", " $(g,w)$",
     TRANSLATABLE("TreeLatexWriter", " using equation \\ref{eqn:minCharacteristicLengthGW}, substituting"),
     "$m^g", "$m^w"},
    {TRANSLATABLE("TreeLatexWriter", "Maximum relative branch length,"), " $M^{g,w}$", "$(g,w)$ ",
     TRANSLATABLE("TreeLatexWriter", "using equation \\ref{eqn:maxCharacteristicLengthGW}, substituting"),
     "$M^g", "$M^w "},
    {TRANSLATABLE("TreeLatexWriter", "Branch length scaling factor,"), " $k_l^{g,w}$", "$(g,w)$ ",
     TRANSLATABLE("TreeLatexWriter", "using equation \\ref{eqn:lengthScalingGW}, substituting"), "$k_l^g",
     "$k_l^w"},
    {TRANSLATABLE("TreeLatexWriter", "Gravimorphism impact,"), " $\\alpha_m^{g,w}$", "$(g,w)$ ",
     TRANSLATABLE("TreeLatexWriter", "using equation \\ref{eqn:gravimorphismGW}, substituting"),
     "$\\alpha_m^g", "$\\alpha_m^w"},
};

} // namespace

TreeLatexWriter::TreeLatexWriter(std::string localeName, Translator translator)
    : m_localeName(std::move(localeName)), m_translator(std::move(translator))
{
}

std::string TreeLatexWriter::numberText(double value, const std::string &localeName)
{
    char buffer[64];
    const float single = static_cast<float>(value);
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(single),
                                      std::chars_format::general, 4);
    std::string text(buffer, result.ptr);
    if (localeName == "sl_SI")
        std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::string TreeLatexWriter::numberText(double value) const
{
    return numberText(value, m_localeName);
}

std::string TreeLatexWriter::translated(const char *text) const
{
    return m_translator ? m_translator(text) : std::string(text);
}

void TreeLatexWriter::writeCurve(std::ostream &out, const TreeParameters &p, int d, bool gCurve) const
{
    const Krivulja &curve = gCurve ? p.curveG(d) : p.curveW(d);
    const bool degrees = gCurve && (d == BranchingAngles || d == GravimorphismImpact);
    out << "=\\left\\lbrace\\right.";
    for (std::size_t i = 0; i < curve.size(); ++i) {
        const KrivuljaPoint &point = curve[i];
        const double x = gCurve ? 15.0 * point.x : 50.0 * point.x;
        const double y = gCurve ? gCurveFactor(d, point.y) : 2.0 * point.y;
        out << "(" << numberText(x) << ",\\;\\;" << numberText(y);
        if (degrees)
            out << "^\\circ";
        out << ")";
        if (i + 1 < curve.size())
            out << "$,\n$";
    }
    out << "\\left.\\right\\rbrace $";
}

void TreeLatexWriter::writeDistributions(std::ostream &out, const TreeParameters &p) const
{
    out << translated(TRANSLATABLE("TreeLatexWriter", "Branch distribution")) << " $k_s^{g,w}$ "
        << translated(TRANSLATABLE("TreeLatexWriter", "is determined for all orders")) << " ($g,w$),\n"
        << translated(TRANSLATABLE("TreeLatexWriter", "where")) << " $g \\in [0,15]$, $w \\in [0,50]$ ($g,w$ "
        << translated(TRANSLATABLE("TreeLatexWriter", "are nonnegative whole numbers),")) << "\n"
        << translated(TRANSLATABLE("TreeLatexWriter", "with equation \\ref{eqn:porazdelitevZilGW}. Values"))
        << " $k_s^{g}$"
        << " in "
        << "$k_s^{w}$\n"
        << translated(TRANSLATABLE("TreeLatexWriter",
                                   "are calculated from both graphs, that are given with polylines"))
        << " $k_s^g";
    writeCurve(out, p, StrandDistribution, true);
    out << translated(TRANSLATABLE("TreeLatexWriter", " and ")) << "$k_s^w";
    writeCurve(out, p, StrandDistribution, false);
    out << ".\n\n";

    out << translated(TRANSLATABLE("TreeLatexWriter", "Branching angle between dividing subbranches,"))
        << " $\\alpha^{g,w}$ "
        << translated(TRANSLATABLE("TreeLatexWriter", ", is determined for all orders")) << "\n"
        << "$(g,w)$ "
        << translated(
               TRANSLATABLE("TreeLatexWriter", "using equation \\ref{eqn:kotVejitveGW}. Needed parameters"))
        << "\n"
        << translated(TRANSLATABLE("TreeLatexWriter", "in mentioned equation")) << " $\\alpha^g$"
        << " in "
        << "$\\alpha^w$ " << translated(TRANSLATABLE("TreeLatexWriter", "are defined using two graphs,"))
        << "\n"
        << translated(TRANSLATABLE("TreeLatexWriter", "given as polylines")) << " $\\alpha^g";
    writeCurve(out, p, BranchingAngles, true);
    out << translated(TRANSLATABLE("TreeLatexWriter", " and ")) << "$\\alpha^w";
    writeCurve(out, p, BranchingAngles, false);
    out << ".\n\n";

    int d = MinimalBranchLength;
    for (const LengthLikeParagraph &paragraph : lengthLikeParagraphs) {
        out << translated(paragraph.name) << paragraph.symbol
            << translated(TRANSLATABLE("TreeLatexWriter", ", is determined for all orders")) << "\n"
            << paragraph.orders << translated(paragraph.equation) << "\n"
            << paragraph.gSymbol;
        writeCurve(out, p, d, true);
        out << translated(TRANSLATABLE("TreeLatexWriter", " and ")) << paragraph.wSymbol;
        writeCurve(out, p, d, false);
        out << ".\n\n";
        ++d;
    }
}

void TreeLatexWriter::write(std::ostream &out, const TreeParameters &p) const
{
    out << "%\\documentclass[slovene,a4paper,12pt,twoside]{report}\n"
           "%\\usepackage[slovene]{babel}\n"
           "%\\selectlanguage{slovene}\n"
           "%\\usepackage[utf8]{inputenc}\n"
           "%\\inputencoding{utf8}\n"
           "%\\begin{document}\n";
    out << translated(TRANSLATABLE("TreeLatexWriter",
                                   "To model the tree we have chosen following scalar parameters: "))
        << "\n";

    const std::pair<const char *, double> scalars[] = {
        {"$S=", p.numberOfStrands},
        {"$L_0=", p.trunkHeight},
        {"$k_d=", p.branchThicknessPerStrand},
        {"$\\alpha_p=", p.phyllotaxisAngle},
        {"$k_c=", p.gravicentralism},
        {"$l_l=", p.leafSize},
        {"$\\rho_l=", p.leafDensity},
    };
    for (const auto &[symbol, value] : scalars)
        out << symbol << numberText(value) << "$, ";
    out << "\n";

    // The wind direction, k_f and the level of detail are fixed in this program.
    out << "$l_{type}=\\textit{" << leafTypeName(p.leafType) << "}$, "
        << "$w_g=" << numberText(p.windSpeed) << "$, "
        << "${\\bf w}="
        << "[0\\;\\;1\\;\\;0]^T"
        << "$, "
        << "$k_f="
        << "1"
        << "$ " << translated(TRANSLATABLE("TreeLatexWriter", " and ")) << "$l_{LOD}="
        << "0"
        << "$."
        << "\n";
    out << "\n";

    writeDistributions(out, p);
    out << "%\\end{document}\n";
}

std::string TreeLatexWriter::text(const TreeParameters &parameters) const
{
    std::ostringstream out;
    write(out, parameters);
    return out.str();
}

} // namespace lignet
