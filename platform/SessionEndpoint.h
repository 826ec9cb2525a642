#pragma once

#include <QObject>

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QSocketNotifier;

namespace platform {

class WindowTimer;

// The running session's end of the hand-over: it holds the session's lock
// file (flock, released by the kernel however the process ends) and listens
// on the session's socket. Texts handed over by later starts wait in order,
// at most QueueLimit of them; one more is refused (its sender learns it, and
// a line is logged), for a text once acknowledged is never dropped.
// Connections that would only hold descriptors are bounded: at most
// ConnectionLimit at once (later ones wait in the socket's backlog), each
// closed unless its whole text arrived within DeliveryLimitMs of its
// acceptance on the program's clock, however it trickles in; when
// the process runs out of descriptors, listening pauses for AcceptPauseMs
// (logged once) rather than waking the program again and again.
class SessionEndpoint final : public QObject {
public:
    static constexpr std::size_t QueueLimit = 16;
    // Longest text taken (a command line is far shorter).
    static constexpr std::size_t MaxTextBytes = 64 * 1024;
    static constexpr std::size_t ConnectionLimit = 16;
    static constexpr int DeliveryLimitMs = 2000;
    static constexpr int AcceptPauseMs = 1000;

    // Takes the session of the caption: null when another process holds it
    // (or its folder is unusable). A socket left by a holder that died is
    // removed only here, by the new holder.
    static std::unique_ptr<SessionEndpoint> Claim(std::string_view caption);

    // Made only by Claim.
    class Key {
        friend class SessionEndpoint;
        Key() = default;
    };
    SessionEndpoint(Key, std::string caption, int lockFd);
    ~SessionEndpoint() override;
    SessionEndpoint(const SessionEndpoint&) = delete;
    SessionEndpoint& operator=(const SessionEndpoint&) = delete;

    const std::string& Caption() const { return caption_; }
    // Whether texts handed over are taken (the default) or refused, so that
    // the sender learns that its text was not taken (logged here too).
    void SetTakingTexts(bool taking) { taking_ = taking; }
    bool TakingTexts() const { return taking_; }
    // The oldest waiting text, none when nothing waits.
    std::optional<std::string> TakeText();
    std::size_t Waiting() const { return texts_.size(); }
    // Connections open now, and whether new ones are taken now.
    std::size_t Connections() const { return connections_.size(); }
    bool Accepting() const;

private:
    struct Connection;
    void Listen();
    void Accept();
    void PauseAccepting(int error);
    void UpdateAccepting();
    void DropOverdue();
    void Read(int fd);
    void Drop(int fd);

    std::string caption_;
    std::string socketPath_;
    int lockFd_;
    int listenFd_ = -1;
    QSocketNotifier* listening_ = nullptr;
    WindowTimer* overdueCheck_ = nullptr; // a child of the endpoint
    WindowTimer* acceptPause_ = nullptr;  // a child of the endpoint
    bool paused_ = false;
    bool shortageLogged_ = false;
    bool taking_ = true;
    std::map<int, std::unique_ptr<Connection>> connections_;
    std::deque<std::string> texts_;
};

// True when some process holds the session of the caption (this one too).
bool SessionRunning(std::string_view caption);

// The longest a second start waits for its whole hand-over: connecting,
// sending and the session's answer.
inline constexpr int HandOverDeadlineMs = 5000;

// Hands text to the session of exactly this caption and waits until it has
// taken it, at most deadlineMs of wall time in all. Returns 1 when it did, 0
// when no session of that caption runs, it refused the text or it did not
// answer in time (logged).
int SendToSession(std::string_view caption, std::string_view text, int deadlineMs = HandOverDeadlineMs);

// The session this process holds (one at most).
bool ClaimProcessSession(std::string_view caption);
SessionEndpoint* ProcessSession();
void ReleaseProcessSession();

} // namespace platform
