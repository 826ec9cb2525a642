#pragma once

#include <string>
#include <string_view>

// Up to four sessions of the program run side by side on one machine, each
// with its own settings store, log and main window. A session is held by the
// process that claimed it (platform/SessionEndpoint: a lock the kernel drops
// however the process ends), so two starts at once never share one.
namespace Sessions {

inline constexpr int Count = 4;

// The program title for session 0, the title & "B", "C" or "D" for 1..3.
std::string SessionName(int index);
// The main window's caption of a session: name & " - " & maker.
std::string SessionCaption(int index);

// The first session (0..3) that a whole command-line token names: "A".."D"
// or "1".."4", alone or after one "/" (so neither "B=1" nor a path names a
// session); -1 when none does.
int NamedSession(std::string_view commandLine);

// What the start-up makes of the sessions.
struct Choice {
    enum class Kind {
        Claimed,        // this process now holds session Index
        HandedOver,     // session Index runs and got the command line
        NotTaken,       // session Index runs but did not take it (refused, no answer in time)
        NoFreeSession,  // every session runs
        AlreadyRunning, // sessions off and the program runs already
    };
    Kind Result = Kind::NoFreeSession;
    int Index = -1;
};

// With multiSession: the named session when the command line names one
// (claimed when free, else handed the whole command line, taken or not),
// otherwise the first free session. Without: session 0, unless any session
// runs.
Choice ChooseSession(bool multiSession, std::string_view commandLine);

} // namespace Sessions
