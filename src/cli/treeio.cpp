#include "cli/treeio.h"

#include "io/atomicfilewriter.h"

#include <iostream>

namespace cli {

OptionSpec treeFromOption()
{
    return {"--from", "IN", "tree parameter file to start from (default: the built-in default set)"};
}

int loadTreeFrom(const Arguments &arguments, lignet::TreeParameters &parameters)
{
    const auto from = arguments.value("--from");
    if (!from)
        return ExitOk;
    std::string reason;
    if (!parameters.loadFromFile(*from, &reason))
        return fail(ExitBadInput, reason);
    return ExitOk;
}

int writeOutput(const std::string &out, const std::string &text)
{
    if (out == "-") {
        std::cout << text;
        std::cout.flush();
        return std::cout ? ExitOk : fail(ExitBadInput, "cannot write to standard output");
    }
    std::string reason;
    if (!io::AtomicFileWriter::write(out, text, &reason))
        return fail(ExitBadInput, reason);
    return ExitOk;
}

} // namespace cli
