// verdalis-cli: the headless companion of the desktop program. It runs the same core code on
// files and prints or writes what the program would show.

#include "cli/command.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

int wordCount(const std::string &name)
{
    return static_cast<int>(std::count(name.begin(), name.end(), ' ')) + 1;
}

// The commands whose name starts with the given words ("tree" lists "tree save", "tree latex").
std::vector<const cli::Command *> commandsUnder(const std::string &prefix)
{
    std::vector<const cli::Command *> found;
    for (const auto &c : cli::commands())
        if (prefix.empty() || c.name.rfind(prefix + " ", 0) == 0)
            found.push_back(&c);
    std::sort(found.begin(), found.end(), [](auto *a, auto *b) { return a->name < b->name; });
    return found;
}

void printCommandList(const std::vector<const cli::Command *> &list, std::ostream &out)
{
    for (const auto *c : list) {
        std::string head = "  " + c->name;
        head.resize(std::max<std::size_t>(head.size() + 2, 22), ' ');
        out << head << c->summary << '\n';
    }
}

void printToolHelp(std::ostream &out)
{
    out << "Usage: verdalis-cli COMMAND [ARGUMENTS] [OPTIONS]\n"
           "Models trees, analyses terrain and runs the ecosystem simulation without the desktop "
           "program.\n\nCommands:\n";
    printCommandList(commandsUnder(""), out);
    out << "\nRun 'verdalis-cli COMMAND --help' for the arguments of one command.\n"
           "Exit status: 0 success, 1 bad input or a file that cannot be written, 2 bad usage.\n";
}

void printCommandHelp(const cli::Command &c, std::ostream &out)
{
    out << "Usage: verdalis-cli " << c.name;
    if (!c.arguments.empty())
        out << ' ' << c.arguments;
    if (!c.options.empty())
        out << " [OPTIONS]";
    out << "\n" << c.summary << "\n";
    if (!c.details.empty())
        out << "\n" << c.details << "\n";
    if (!c.options.empty()) {
        out << "\nOptions:\n";
        for (const auto &o : c.options) {
            std::string head = "  " + o.name + (o.valueName.empty() ? "" : " " + o.valueName);
            head.resize(std::max<std::size_t>(head.size() + 2, 28), ' ');
            out << head << o.description << '\n';
        }
    }
}

// Finds the command whose name matches the most leading words of the argument list.
const cli::Command *findCommand(const std::vector<std::string> &args, int &consumed)
{
    const cli::Command *best = nullptr;
    for (const auto &c : cli::commands()) {
        const int words = wordCount(c.name);
        if (static_cast<int>(args.size()) < words)
            continue;
        std::string joined;
        for (int i = 0; i < words; ++i)
            joined += (i ? " " : "") + args[i];
        if (joined == c.name && (!best || words > consumed)) {
            best = &c;
            consumed = words;
        }
    }
    return best;
}

// Handles a group word given alone or with --help ("verdalis-cli tree --help"): lists the
// group's commands when asked for, else names the problem and the group's commands. Returns the
// exit status, or nothing when the word is no group.
std::optional<int> handleGroupWord(const std::vector<std::string> &args)
{
    const auto list = commandsUnder(args[0]);
    if (list.empty())
        return std::nullopt;
    if (args.size() > 1 && (args[1] == "--help" || args[1] == "-h")) {
        std::cout << "Usage: verdalis-cli " << args[0] << " COMMAND [ARGUMENTS] [OPTIONS]\n\nCommands:\n";
        printCommandList(list, std::cout);
        std::cout << "\nRun 'verdalis-cli " << args[0]
                  << " COMMAND --help' for the arguments of one command.\n";
        return cli::ExitOk;
    }
    std::string names;
    for (const auto *c : list)
        names += (names.empty() ? "" : ", ") + c->name;
    const std::string problem = args.size() > 1 ? "unknown command '" + args[0] + ' ' + args[1] + "'"
                                                : "missing command after '" + args[0] + "'";
    return cli::fail(cli::ExitBadUsage,
                     problem + " (" + names + ")\nsee 'verdalis-cli " + args[0] + " --help'");
}

int runCommand(const cli::Command &c, const std::vector<std::string> &rest)
{
    cli::Arguments parsed;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const std::string &arg = rest[i];
        if (arg == "--help" || arg == "-h") {
            printCommandHelp(c, std::cout);
            return cli::ExitOk;
        }
        if (arg.size() > 2 && arg.rfind("--", 0) == 0) {
            std::string name = arg;
            std::optional<std::string> inlineValue;
            if (const auto eq = arg.find('='); eq != std::string::npos) {
                name = arg.substr(0, eq);
                inlineValue = arg.substr(eq + 1);
            }
            const auto spec = std::find_if(c.options.begin(), c.options.end(),
                                           [&](const cli::OptionSpec &o) { return o.name == name; });
            if (spec == c.options.end())
                return cli::badUsage(c, "unknown option '" + name + "'");
            if (spec->valueName.empty()) {
                if (inlineValue)
                    return cli::badUsage(c, "option '" + name + "' takes no value");
                parsed.options[name].push_back({});
            } else if (inlineValue) {
                parsed.options[name].push_back(*inlineValue);
            } else if (i + 1 < rest.size()) {
                parsed.options[name].push_back(rest[++i]);
            } else {
                return cli::badUsage(c, "option '" + name + "' needs a value " + spec->valueName);
            }
        } else {
            parsed.positional.push_back(arg);
        }
    }
    const int count = static_cast<int>(parsed.positional.size());
    if (count < c.minPositional)
        return cli::badUsage(c, "missing argument " + c.arguments);
    if (count > c.maxPositional)
        return cli::badUsage(c, "unexpected argument '" + parsed.positional[c.maxPositional] + "'");
    return c.run(parsed);
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return cli::fail(cli::ExitBadUsage, "missing command\nsee 'verdalis-cli --help'");
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printToolHelp(std::cout);
        return cli::ExitOk;
    }
    int consumed = 0;
    const cli::Command *command = findCommand(args, consumed);
    if (!command) {
        if (const auto status = handleGroupWord(args))
            return *status;
        return cli::fail(cli::ExitBadUsage, "unknown command '" + args[0] + "'\nsee 'verdalis-cli --help'");
    }
    return runCommand(*command, std::vector<std::string>(args.begin() + consumed, args.end()));
}
