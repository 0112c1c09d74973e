#include "lignet/treelatexwriter.h"

#include <gtest/gtest.h>

using lignet::TreeLatexWriter;
using lignet::TreeParameters;

namespace {

bool contains(const std::string &text, const std::string &piece)
{
    return text.find(piece) != std::string::npos;
}

} // namespace

// The default set's whole text is compared with data/default.tex by the command line's `tree latex`.
TEST(TreeLatexWriter, numbersHaveFourSignificantDigitsOfTheirSinglePrecisionValueAndTheLocalesDecimalSign)
{
    // 1.2345 is 1.23449999... as a double but 1.23450005... as a float.
    const std::pair<double, const char *> cases[] = {
        {0.75, "0.75"},        {1000, "1000"},   {0.01, "0.01"},
        {1e4, "1e+04"},        {-180, "-180"},   {3.14159, "3.142"},
        {123456, "1.235e+05"}, {0, "0"},         {0.00012345, "0.0001234"},
        {-0.5, "-0.5"},        {1.2345, "1.235"}};
    for (const auto &[value, expected] : cases)
        EXPECT_EQ(TreeLatexWriter::numberText(value, "C"), expected) << value;
    for (const auto &[locale, expected] : {std::pair("sl_SI", "2,5"), {"sl", "2.5"}, {"en_US", "2.5"}})
        EXPECT_EQ(TreeLatexWriter::numberText(2.5, locale), expected) << locale;

    // Slovenian text writes decimal commas in numbers only, curve points too; the command line's
    // `tree latex` checks them in the scalars.
    const std::string text = TreeLatexWriter("sl_SI").text(TreeParameters());
    EXPECT_TRUE(contains(text, "(7,5,\\;\\;0,45)"));
    EXPECT_TRUE(contains(text, "\\usepackage[utf8]{inputenc}"));
}

TEST(TreeLatexWriter, leafTypesAreNamedAndCurvePointsUseTheDesignerUnits)
{
    const char *names[] = {"Spiral", "Stacked", "Staggered", "Bunched", "Coniferous", "", "", ""};
    const int types[] = {0, 1, 2, 3, 4, -1, 5, 99};
    TreeParameters p;
    for (int i = 0; i < 8; ++i) {
        p.leafType = types[i];
        EXPECT_TRUE(
            contains(TreeLatexWriter().text(p), std::string("$l_{type}=\\textit{") + names[i] + "}$, "))
            << types[i];
    }

    // Curve points use the designer units and one point has no separator.
    p.curveG(lignet::BranchingAngles) = {{0, 0.1}, {1, 0.25}, {1, 2.0}};
    p.curveG(lignet::StrandDistribution) = {{0, -3}, {0.2, 0.6}, {1, 2}};
    p.curveG(lignet::GravimorphismImpact) = {{0, -1}, {0.5, 0.25}, {1, 1}};
    p.curveW(lignet::MaximalBranchLength) = {{0, 0.3}, {0.02, 0.75}};
    p.curveG(lignet::BranchLengthScaling) = {{0, 0.123}, {1, 0.5}};
    p.curveW(lignet::BranchLengthScaling) = {{0.5, 0.5}};
    const std::string text = TreeLatexWriter().text(p);
    for (const char *piece :
         {"$\\alpha^g=\\left\\lbrace\\right.(0,\\;\\;18^\\circ)$,\n$(15,\\;\\;45^\\circ)$,\n"
          "$(15,\\;\\;180^\\circ)\\left.\\right\\rbrace $ and $\\alpha^w",
          "$k_s^g=\\left\\lbrace\\right.(0,\\;\\;0.5)$,\n$(3,\\;\\;0.8)$,\n$(15,\\;\\;1)",
          "$\\alpha_m^g=\\left\\lbrace\\right.(0,\\;\\;-180^\\circ)$,\n$(7.5,\\;\\;-90^\\circ)$,\n"
          "$(15,\\;\\;180^\\circ)\\left.\\right\\rbrace $",
          "$M^w =\\left\\lbrace\\right.(0,\\;\\;0.6)$,\n$(1,\\;\\;1.5)\\left.\\right\\rbrace $.",
          "$k_l^g=\\left\\lbrace\\right.(0,\\;\\;1.23)$,\n$(15,\\;\\;5)",
          "$k_l^w=\\left\\lbrace\\right.(25,\\;\\;1)\\left.\\right\\rbrace $.\n\n"})
        EXPECT_TRUE(contains(text, piece)) << piece;
}

TEST(TreeLatexWriter, translatablePiecesGoThroughTheTranslator)
{
    std::vector<std::string> asked;
    const lignet::Translator translator = [&](const char *text) {
        asked.emplace_back(text);
        return std::string("<") + text + ">";
    };
    const std::string text = TreeLatexWriter("C", translator).text(TreeParameters());
    for (const char *piece :
         {"<To model the tree we have chosen following scalar parameters: >\n", "$k_f=1$ < and >$l_{LOD}=0$.",
          "<Branch distribution> $k_s^{g,w}$ <is determined for all orders> ($g,w$),\n",
          "<Gravimorphism impact,> $\\alpha_m^{g,w}$<, is determined for all orders>\n",
          "Values> $k_s^{g}$ in $k_s^{w}$\n", "%\\begin{document}\n",
          "\\textit{Spiral}"}) // the last two not translated
        EXPECT_TRUE(contains(text, piece)) << piece;
    // The introduction, " and " on the type line, six pieces in each of the first two paragraphs,
    // three in each of the other four, and one " and " per paragraph.
    EXPECT_EQ(asked.size(), 1u + 1u + 6u + 6u + 4u * 3u + 6u);
}
