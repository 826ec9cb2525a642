#include "mainwindow/Sessions.h"

#include "foundation/DayLog.h"
#include "foundation/SubClass.h"
#include "platform/SessionEndpoint.h"
#include "platform/base/AppIdentity.h"

#include <vector>

namespace Sessions {

namespace {

// Tokens at blanks outside double quotes, the quotes removed.
std::vector<std::string> Tokens(std::string_view text)
{
    std::vector<std::string> tokens;
    std::string current;
    bool quoted = false;
    bool any = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (any) {
                tokens.push_back(current);
            }
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) {
        tokens.push_back(current);
    }
    return tokens;
}

bool Names(const std::string& token, int index)
{
    const std::string_view bare =
        !token.empty() && token.front() == '/' ? std::string_view(token).substr(1) : std::string_view(token);
    if (bare.size() != 1) {
        return false;
    }
    return bare.front() == static_cast<char>('A' + index) || bare.front() == static_cast<char>('1' + index);
}

bool AnyRunning()
{
    for (int i = 0; i < Count; ++i) {
        if (platform::SessionRunning(SessionCaption(i))) {
            return true;
        }
    }
    return false;
}

// A session just claimed takes command lines from later starts only once its
// main window is subclassed, which the error mode leaves out: until then a
// later start learns that its command line was not taken.
Choice Claimed(int index)
{
    if (platform::SessionEndpoint* session = platform::ProcessSession(); session != nullptr) {
        session->SetTakingTexts(false);
    }
    return {Choice::Kind::Claimed, index};
}

} // namespace

std::string SessionName(int index)
{
    std::string name = App::Title;
    if (index >= 1 && index < Count) {
        name += static_cast<char>('A' + index);
    }
    return name;
}

std::string SessionCaption(int index)
{
    return SessionName(index) + " - " + App::CompanyName;
}

int NamedSession(std::string_view commandLine)
{
    const std::vector<std::string> tokens = Tokens(commandLine);
    for (int i = 0; i < Count; ++i) {
        for (const std::string& token : tokens) {
            if (Names(token, i)) {
                return i;
            }
        }
    }
    return -1;
}

Choice ChooseSession(bool multiSession, std::string_view commandLine)
{
    if (!multiSession) {
        if (AnyRunning() || !platform::ClaimProcessSession(SessionCaption(0))) {
            return {Choice::Kind::AlreadyRunning, -1};
        }
        return Claimed(0);
    }
    const int named = NamedSession(commandLine);
    if (named >= 0) {
        if (platform::ClaimProcessSession(SessionCaption(named))) {
            return Claimed(named);
        }
        // It runs: it gets the command line, and this start ends either way;
        // whether it was taken is this start's outcome, for a launcher to see.
        if (FCT_SubClass::SendCopyData(SessionName(named), commandLine) == 0) {
            basic::WriteLog(
                "Session " + SessionName(named) + " did not take the command line: " + std::string(commandLine), 1, 0);
            return {Choice::Kind::NotTaken, named};
        }
        return {Choice::Kind::HandedOver, named};
    }
    for (int i = 0; i < Count; ++i) {
        if (platform::ClaimProcessSession(SessionCaption(i))) {
            return Claimed(i);
        }
    }
    return {Choice::Kind::NoFreeSession, -1};
}

} // namespace Sessions
