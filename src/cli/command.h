#pragma once

#include <charconv>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// Exit statuses shared by every command.
inline constexpr int ExitOk = 0;
inline constexpr int ExitBadInput = 1; // unreadable or damaged input, a file that cannot be written
inline constexpr int ExitBadUsage = 2; // unknown option, missing argument, malformed value

struct OptionSpec {
    std::string name;      // with the leading dashes: "--from"
    std::string valueName; // empty for a flag: "IN"
    std::string description;
};

// The command line of one command after the dispatcher has checked it against the command's
// option list and positional count.
class Arguments {
public:
    std::vector<std::string> positional;
    std::map<std::string, std::vector<std::string>> options; // every occurrence, in order

    bool has(const std::string &option) const { return options.count(option) != 0; }
    // The last value given for the option, if any.
    std::optional<std::string> value(const std::string &option) const;
    std::vector<std::string> values(const std::string &option) const;
};

struct Command {
    std::string name;      // words after the program name: "tree save"
    std::string arguments; // positional synopsis: "OUT"
    std::string summary;   // one line for the command list
    std::string details;   // further help text, may be empty
    std::vector<OptionSpec> options;
    int minPositional = 0;
    int maxPositional = 0;
    std::function<int(const Arguments &)> run;
};

// Commands register themselves from their own source files through a static initialiser:
//   static const bool registered = cli::registerCommand({...});
bool registerCommand(Command command);
const std::vector<Command> &commands();

// Every line of an error starts with "verdalis-cli: ", so it is told apart from what a command
// writes on standard output and from the messages of other programs in a script.
// Prints "verdalis-cli: <line>" on standard error for each line of `message`.
void report(const std::string &message);
// report(message), then returns `status` to exit with.
int fail(int status, const std::string &message);
// "verdalis-cli: <command>: <message>" and where to find the command's options; returns
// ExitBadUsage.
int badUsage(const std::string &commandName, const std::string &message);
int badUsage(const Command &command, const std::string &message);

// Strict number parsing for option values: the whole text must be the number.
std::optional<int> parseInt(const std::string &text);
std::optional<double> parseDouble(const std::string &text);
// "WxH" with both positive.
std::optional<std::pair<int, int>> parseSize(const std::string &text);
// Comma-separated whole numbers of one integer type: "1,2,3". Nothing else may stand between the
// commas, and every number must fit the type.
template <typename Integer> std::optional<std::vector<Integer>> parseIntegerList(const std::string &text)
{
    std::vector<Integer> result;
    std::size_t start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        Integer value = 0;
        const char *end = item.data() + item.size();
        const auto [ptr, ec] = std::from_chars(item.data(), end, value);
        if (item.empty() || ec != std::errc() || ptr != end)
            return std::nullopt;
        result.push_back(value);
        if (comma == std::string::npos)
            return result;
        start = comma + 1;
    }
}

} // namespace cli
