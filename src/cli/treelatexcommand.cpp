// verdalis-cli tree latex: writes a tree parameter set as LaTeX formulas.

#include "cli/command.h"
#include "cli/treeio.h"
#include "lignet/treelatexwriter.h"

#include <cstdlib>

namespace {

// The locale name as the desktop program sees it: "sl_SI.UTF-8@euro" names "sl_SI".
std::string environmentLocaleName()
{
    for (const char *variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char *value = std::getenv(variable);
        if (value && *value) {
            std::string name(value);
            return name.substr(0, name.find_first_of(".@"));
        }
    }
    return "C";
}

int run(const cli::Arguments &arguments)
{
    lignet::TreeParameters parameters;
    if (const int status = cli::loadTreeFrom(arguments, parameters); status != cli::ExitOk)
        return status;
    const std::string locale = arguments.value("--locale").value_or(environmentLocaleName());
    return cli::writeOutput(arguments.positional[0], lignet::TreeLatexWriter(locale).text(parameters));
}

const bool registered = cli::registerCommand({
    "tree latex",
    "OUT",
    "export a tree parameter set as LaTeX formulas (.tex)",
    "Loads IN (the default set when --from is absent) and writes its parameters and distribution\n"
    "curves as a LaTeX fragment to OUT; OUT '-' writes to standard output. Numbers use a decimal\n"
    "comma when the locale is sl_SI.",
    {cli::treeFromOption(),
     {"--locale", "NAME", "locale name for numbers, e.g. sl_SI (default: from LC_ALL, LC_NUMERIC, LANG)"}},
    1,
    1,
    run,
});

} // namespace
