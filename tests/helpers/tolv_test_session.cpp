// A second start of the program, for the tests of the session hand-over:
//   send <title> <text>       hands text to the session titled title; the
//                             exit code is what SendCopyData returned
//   sendto <caption> <text>   the same, to the session of exactly caption
//   sendhex <caption> <hex>   the same, the text given as hex digits, two a
//                             byte (a test's arguments pass through QString,
//                             which cannot carry a byte that is no UTF-8)
//   hold <caption>            claims that session, says "claimed" or
//                             "refused", and holds it until stdin closes
//   first <caption>...        claims the first free one of the captions,
//                             says its number (-1 for none) and holds it
//                             until stdin closes
#include "foundation/SubClass.h"
#include "platform/SessionEndpoint.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

void HoldUntilStdinCloses()
{
    char ignored[64];
    while (read(0, ignored, sizeof ignored) > 0) {
    }
}

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// "41E9" -> "A\xE9".
std::string FromHex(std::string_view hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "send" && argc == 4) {
        return FCT_SubClass::SendCopyData(argv[2], argv[3]);
    }
    if (mode == "sendto" && argc == 4) {
        return platform::SendToSession(argv[2], argv[3]);
    }
    if (mode == "sendhex" && argc == 4) {
        return platform::SendToSession(argv[2], FromHex(argv[3]));
    }
    if (mode == "hold" && argc == 3) {
        const bool claimed = platform::ClaimProcessSession(argv[2]);
        Say(claimed ? "claimed" : "refused");
        HoldUntilStdinCloses();
        platform::ReleaseProcessSession();
        return claimed ? 0 : 1;
    }
    if (mode == "first" && argc > 2) {
        int claimed = -1;
        for (int i = 2; i < argc && claimed < 0; ++i) {
            if (platform::ClaimProcessSession(argv[i])) {
                claimed = i - 2;
            }
        }
        Say(std::to_string(claimed));
        HoldUntilStdinCloses();
        platform::ReleaseProcessSession();
        return 0;
    }
    return 64;
}
