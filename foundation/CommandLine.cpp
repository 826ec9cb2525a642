#include "foundation/CommandLine.h"

#include "platform/ServerPaths.h"

#include <fstream>
#include <iterator>

namespace basic {

namespace {

std::string commandLineOverride;

std::string_view Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string ArgumentsOfThisProcess()
{
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string line;
    std::size_t start = raw.find('\0'); // skips the program name
    while (start != std::string::npos && start + 1 < raw.size()) {
        const std::size_t end = raw.find('\0', start + 1);
        const std::string argument = raw.substr(start + 1, end == std::string::npos ? end : end - start - 1);
        if (!line.empty()) {
            line += ' ';
        }
        line += argument.find(' ') != std::string::npos ? "\"" + argument + "\"" : argument;
        start = end;
    }
    return line;
}

std::vector<std::string> Tokens(std::string_view source)
{
    std::vector<std::string> tokens(1);
    bool quoted = false;
    for (const char c : source) {
        if (c == '"') {
            if (quoted) {
                tokens.emplace_back();
            }
            quoted = !quoted;
        } else if (c == ' ' && !quoted) {
            tokens.emplace_back();
        } else {
            tokens.back() += c;
        }
    }
    return tokens;
}

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

bool IsFileToken(std::string_view token)
{
    if (token.size() >= 2 && token[1] == ':') {
        return true;
    }
    if (token.size() >= 2 && IsSeparator(token[0]) && IsSeparator(token[1])) {
        return true;
    }
    return !token.empty() && token[0] == '/' && token.find('/', 1) != std::string_view::npos;
}

} // namespace

std::string ProgramCommandLine()
{
    return commandLineOverride.empty() ? ArgumentsOfThisProcess() : commandLineOverride;
}

void SetProgramCommandLine(std::string_view text)
{
    commandLineOverride = text;
}

int ParseCommandLine(std::vector<std::string>& out, std::string_view option, std::string_view text)
{
    const std::string whole = text.empty() ? ProgramCommandLine() : std::string(text);
    const std::string_view source = Trim(whole);
    out.clear();
    if (source.empty()) {
        out.emplace_back();
        return 0;
    }
    for (const std::string& token : Tokens(source)) {
        if (!option.empty()) {
            if (token.size() < option.size()) {
                continue;
            }
            if (token.starts_with(option)) {
                out.push_back(token.substr(option.size()));
            } else if (token.size() > option.size() && token[0] == '/' && token.substr(1).starts_with(option)) {
                out.push_back(token.substr(option.size() + 1));
            }
        } else if (IsFileToken(token)) {
            out.push_back(platform::FromDesktopPath(token));
        }
    }
    return static_cast<int>(out.size());
}

} // namespace basic
