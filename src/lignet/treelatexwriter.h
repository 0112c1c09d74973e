#pragma once

#include "lignet/treeparameters.h"

#include <functional>
#include <iosfwd>
#include <string>

namespace lignet {

// Translates one user-interface text; the GUI supplies its catalogue lookup. An empty function
// leaves every text as it is.
using Translator = std::function<std::string(const char *)>;

// Writes a parameter set as a LaTeX fragment for a report: the scalar parameters as inline
// formulas, then one paragraph per distribution with its two curves as point sets in the units
// the distribution designer shows. The document preamble is written commented out.
class TreeLatexWriter {
public:
    explicit TreeLatexWriter(std::string localeName = "C", Translator translator = {});

    // The value as a single-precision number with 4 significant digits in the general format;
    // under the "sl_SI" locale the decimal point becomes a comma.
    std::string numberText(double value) const;
    static std::string numberText(double value, const std::string &localeName);

    void write(std::ostream &out, const TreeParameters &parameters) const;
    std::string text(const TreeParameters &parameters) const;

private:
    std::string translated(const char *text) const;
    void writeCurve(std::ostream &out, const TreeParameters &parameters, int distribution, bool gCurve) const;
    void writeDistributions(std::ostream &out, const TreeParameters &parameters) const;

    std::string m_localeName;
    Translator m_translator;
};

} // namespace lignet
