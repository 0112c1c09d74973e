#pragma once

#include "cli/command.h"
#include "lignet/treeparameters.h"

#include <string>

namespace cli {

// The --from option shared by the tree commands.
OptionSpec treeFromOption();

// Loads the set named by --from into parameters (the default set stays when the option is
// absent). Returns ExitOk, or the status to exit with after the message has been printed.
int loadTreeFrom(const Arguments &arguments, lignet::TreeParameters &parameters);

// Writes text to OUT: "-" is standard output; a file is replaced only after a complete write.
int writeOutput(const std::string &out, const std::string &text);

} // namespace cli
