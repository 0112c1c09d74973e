// verdalis-cli tree save: writes a tree parameter file, from the default set or another file.

#include "cli/command.h"
#include "cli/treeio.h"
#include "lignet/treeparameterfile.h"

namespace {

int run(const cli::Arguments &arguments)
{
    lignet::TreeParameters parameters;
    if (const int status = cli::loadTreeFrom(arguments, parameters); status != cli::ExitOk)
        return status;
    // Text in memory first: a set that cannot be written whole is never half written.
    const std::string text = lignet::TreeParameterFile::text(parameters);
    return cli::writeOutput(arguments.positional[0], text);
}

const bool registered = cli::registerCommand({
    "tree save",
    "OUT",
    "write a tree parameter file (.tree.xml)",
    "Loads IN (the default set when --from is absent) and writes it to OUT in the tree parameter\n"
    "file format; OUT '-' writes to standard output. A damaged IN is refused with the line at fault.",
    {cli::treeFromOption()},
    1,
    1,
    run,
});

} // namespace
