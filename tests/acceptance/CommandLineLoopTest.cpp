// Damaged command lines, given at start or handed over by a second start
// through the session's socket: no crash, and what is taken from them stays
// within what the window can carry out.
#include "CorruptionLoop.h"

#include "foundation/CommandLine.h"
#include "mainwindow/CommandLineOptions.h"
#include "platform/SessionEndpoint.h"
#include "platform/SessionFolder.h"
#include "platform/base/LogSink.h"

#include <QCoreApplication>
#include <QRect>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace acceptance;

const QRect Desktop(0, 0, 1920, 1080);

bool IsFileToken(std::string_view token)
{
    if (token.size() >= 2 && (token[0] == '/' || token[0] == '\\') && (token[1] == '/' || token[1] == '\\')) {
        return true;
    }
    if (!token.empty() && token[0] == '/' && token.find('/', 1) != std::string_view::npos) {
        return true;
    }
    return token.size() >= 2 && token[1] == ':';
}

void CheckCommandLine(std::string_view text)
{
    for (const std::string_view option : {"", "B=", "X=", "Y=", "W=", "H="}) {
        std::vector<std::string> out;
        const int count = basic::ParseCommandLine(out, option, text);
        EXPECT_GE(count, 0);
        EXPECT_LE(out.size(), text.size() + 1);
        for (const std::string& entry : out) {
            EXPECT_LE(entry.size(), text.size());
        }
    }
    const CommandLineOptions::WindowOptions options = CommandLineOptions::ReadWindowOptions(text, Desktop);
    if (options.Big) {
        EXPECT_NE(text.find("B="), std::string_view::npos);
    }
    if (options.Left) {
        EXPECT_GE(*options.Left, Desktop.left());
        EXPECT_LE(*options.Left, Desktop.right());
    }
    if (options.Top) {
        EXPECT_GE(*options.Top, Desktop.top());
        EXPECT_LE(*options.Top, Desktop.bottom());
    }
    if (options.Width) {
        EXPECT_GE(*options.Width, 1);
        EXPECT_LE(*options.Width, Desktop.width());
    }
    if (options.Height) {
        EXPECT_GE(*options.Height, 1);
        EXPECT_LE(*options.Height, Desktop.height());
    }
    const std::string file = CommandLineOptions::FileToOpen(text);
    if (!file.empty()) {
        EXPECT_TRUE(IsFileToken(file)) << file;
    }
}

const CorruptionKind& CommandLineKind()
{
    static const CorruptionKind kind{"cmdline",
                                     {ToBytes("/B=1 /X=20 /Y=30 /W=800 /H=600 \"/srv/tables/show 1.txt\" C"),
                                      ToBytes("B=0 X=-5 //host/share/tables/a.txt 2"),
                                      ToBytes("\"C:\\tables\\\xE6\x9C\x9D.txt\" /B /W=1920 /H=1080 A")},
                                     8192};
    return kind;
}

TEST(CorruptionLoop, CommandLines)
{
    RunCorruptionLoop(CommandLineKind(), [](std::span<const std::uint8_t> input) { CheckCommandLine(ToText(input)); });
}

TEST(RegressCases, CommandLines)
{
    ReplayRegressCases(CommandLineKind().name,
                       [](std::span<const std::uint8_t> input) { CheckCommandLine(ToText(input)); });
}

// What a second start sends: the length (4 bytes, little-endian), the text,
// two NULs.
Bytes Framed(std::string_view text)
{
    const auto size = static_cast<std::uint32_t>(text.size() + 2);
    Bytes bytes;
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(size >> shift));
    }
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.insert(bytes.end(), 2, 0);
    return bytes;
}

class HandOver : public testing::Test {
protected:
    static constexpr const char* Caption = "tolvD - Quorvant";

    void SetUp() override
    {
        platform::SetLogSink([](std::string_view, int) {});
        ASSERT_TRUE(platform::ClaimProcessSession(Caption));
    }
    void TearDown() override
    {
        platform::ReleaseProcessSession();
        platform::SetLogSink(nullptr);
    }

    // Sends the bytes as a peer would, then ends the connection; returns when
    // the session has closed it.
    void Deliver(std::span<const std::uint8_t> bytes)
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = platform::SessionSocketPath(Caption);
        std::copy_n(path.c_str(), std::min(path.size() + 1, sizeof address.sun_path), address.sun_path);
        ASSERT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        fcntl(fd, F_SETFL, O_NONBLOCK);
        std::size_t sent = 0;
        bool closed = false;
        for (int round = 0; round < 100000 && !closed; ++round) {
            if (sent < bytes.size()) {
                const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
                if (n > 0) {
                    sent += static_cast<std::size_t>(n);
                } else if (n < 0 && errno != EAGAIN) {
                    closed = true; // the session refused the rest
                }
                if (sent == bytes.size()) {
                    shutdown(fd, SHUT_WR);
                }
            } else if (bytes.empty() && round == 0) {
                shutdown(fd, SHUT_WR);
            }
            QCoreApplication::processEvents();
            char answer[16];
            const ssize_t n = recv(fd, answer, sizeof answer, 0);
            closed = closed || n == 0 || (n < 0 && errno != EAGAIN);
        }
        close(fd);
        EXPECT_TRUE(closed) << "the session never ended the connection";
    }

    void Check(std::span<const std::uint8_t> input)
    {
        platform::SessionEndpoint& session = *platform::ProcessSession();
        Deliver(input);
        EXPECT_LE(session.Waiting(), platform::SessionEndpoint::QueueLimit);
        while (const std::optional<std::string> text = session.TakeText()) {
            EXPECT_FALSE(text->empty());
            EXPECT_EQ(text->find('\0'), std::string::npos);
            EXPECT_LE(text->size(), 3 * platform::SessionEndpoint::MaxTextBytes);
            CheckCommandLine(*text);
        }
    }

    static const CorruptionKind& Kind()
    {
        static const CorruptionKind kind{"handover",
                                         {Framed("/srv/tables/show.txt /B=1"), Framed("\"//host/share/a b.txt\" X=3"),
                                          Framed("C:\\t\\\x82\xA0.txt")},
                                         70 * 1024,
                                         200};
        return kind;
    }
};

TEST_F(HandOver, CorruptionLoop)
{
    RunCorruptionLoop(Kind(), [this](std::span<const std::uint8_t> input) { Check(input); });
}

TEST_F(HandOver, RegressCases)
{
    ReplayRegressCases(Kind().name, [this](std::span<const std::uint8_t> input) { Check(input); });
}

} // namespace
