#include "cli/command.h"

#include <charconv>
#include <cmath>
#include <iostream>
#include <sstream>

namespace cli {

namespace {

std::vector<Command> &registry()
{
    static std::vector<Command> all;
    return all;
}

} // namespace

std::optional<std::string> Arguments::value(const std::string &option) const
{
    const auto it = options.find(option);
    if (it == options.end() || it->second.empty())
        return std::nullopt;
    return it->second.back();
}

std::vector<std::string> Arguments::values(const std::string &option) const
{
    const auto it = options.find(option);
    return it == options.end() ? std::vector<std::string>{} : it->second;
}

bool registerCommand(Command command)
{
    registry().push_back(std::move(command));
    return true;
}

const std::vector<Command> &commands()
{
    return registry();
}

void report(const std::string &message)
{
    std::istringstream lines(message);
    for (std::string line; std::getline(lines, line);)
        std::cerr << "verdalis-cli: " << line << '\n';
}

int fail(int status, const std::string &message)
{
    report(message);
    return status;
}

int badUsage(const std::string &commandName, const std::string &message)
{
    return fail(ExitBadUsage,
                commandName + ": " + message + "\nsee 'verdalis-cli " + commandName + " --help'");
}

int badUsage(const Command &command, const std::string &message)
{
    return badUsage(command.name, message);
}

std::optional<int> parseInt(const std::string &text)
{
    int value = 0;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<double> parseDouble(const std::string &text)
{
    double value = 0.0;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::pair<int, int>> parseSize(const std::string &text)
{
    const auto x = text.find('x');
    if (x == std::string::npos)
        return std::nullopt;
    const auto w = parseInt(text.substr(0, x));
    const auto h = parseInt(text.substr(x + 1));
    if (!w || !h || *w <= 0 || *h <= 0)
        return std::nullopt;
    return std::make_pair(*w, *h);
}

} // namespace cli
