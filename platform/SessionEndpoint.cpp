#include "platform/SessionEndpoint.h"

#include "platform/SessionFolder.h"
#include "platform/WallDeadline.h"
#include "platform/WindowTimer.h"
#include "platform/base/Clock.h"
#include "platform/base/LogSink.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

// A hand-over on the socket: the byte count n (4 bytes, little-endian), then
// n bytes: the text as the sender's command line holds it (UTF-8, or the
// bytes of a file name in another code page), followed by two zero bytes. The session answers
// with one byte once it has taken the text, or refused it, saying why.
constexpr char acknowledgement = 1;
constexpr char refusal = 2;         // the session takes no command lines now
constexpr char queueFullAnswer = 3; // QueueLimit texts wait already
constexpr int connectAttempts = 50;
constexpr int connectPauseMs = 20;
// How often overdue connections are looked for while any is open.
constexpr int overdueCheckMs = 250;

std::string ErrnoText()
{
    return std::strerror(errno);
}

std::unique_ptr<SessionEndpoint>& ProcessEndpoint()
{
    static std::unique_ptr<SessionEndpoint> endpoint;
    return endpoint;
}

} // namespace

std::unique_ptr<SessionEndpoint> SessionEndpoint::Claim(std::string_view caption)
{
    const std::string lockPath = SessionLockPath(caption);
    if (lockPath.empty()) {
        return nullptr;
    }
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        Log("Session lock " + lockPath + " cannot be opened (" + ErrnoText() + ")");
        return nullptr;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) {
            Log("Session lock " + lockPath + " cannot be taken (" + ErrnoText() + ")");
        }
        close(fd);
        return nullptr;
    }
    auto endpoint = std::make_unique<SessionEndpoint>(Key(), std::string(caption), fd);
    endpoint->Listen();
    return endpoint;
}

SessionEndpoint::SessionEndpoint(Key, std::string caption, int lockFd)
    : caption_(std::move(caption)), socketPath_(SessionSocketPath(caption_)), lockFd_(lockFd),
      overdueCheck_(new WindowTimer(this)), acceptPause_(new WindowTimer(this))
{
    overdueCheck_->SetEnabled(false);
    overdueCheck_->SetInterval(overdueCheckMs);
    overdueCheck_->OnTimer = [this] { DropOverdue(); };
    acceptPause_->SetEnabled(false);
    acceptPause_->SetInterval(AcceptPauseMs);
    acceptPause_->OnTimer = [this] {
        acceptPause_->SetEnabled(false);
        paused_ = false;
        UpdateAccepting();
    };
}

// One connection of a later start, until its text is complete.
struct SessionEndpoint::Connection {
    QSocketNotifier* notifier = nullptr; // a child of the endpoint
    std::string bytes;
    std::int64_t acceptedMs = 0;
};

SessionEndpoint::~SessionEndpoint()
{
    for (auto& [fd, connection] : connections_) {
        connection->notifier->setEnabled(false);
        close(fd);
    }
    if (listenFd_ >= 0) {
        listening_->setEnabled(false);
        close(listenFd_);
        unlink(socketPath_.c_str());
    }
    // Closing the descriptor releases the lock; the lock file stays, so a
    // start that opened it a moment ago still locks the same file.
    close(lockFd_);
}

void SessionEndpoint::Listen()
{
    // We hold the lock, so a socket file there is a dead holder's.
    if (unlink(socketPath_.c_str()) != 0 && errno != ENOENT) {
        Log("Session socket " + socketPath_ + " cannot be removed (" + ErrnoText() + ")");
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath_.empty() || socketPath_.size() >= sizeof address.sun_path) {
        return;
    }
    std::memcpy(address.sun_path, socketPath_.c_str(), socketPath_.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        Log("Session socket cannot be made (" + ErrnoText() + ")");
        return;
    }
    // Only this user may connect: the folder is private, and so is the socket.
    // (The umask is left alone; other threads may be creating files.)
    const int bound = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (bound == 0) {
        chmod(socketPath_.c_str(), 0600);
    }
    if (bound != 0 || listen(fd, 8) != 0) {
        Log("Session socket " + socketPath_ + " cannot listen (" + ErrnoText() + ")");
        close(fd);
        return;
    }
    listenFd_ = fd;
    listening_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    QObject::connect(listening_, &QSocketNotifier::activated, this, [this] { Accept(); });
}

bool SessionEndpoint::Accepting() const
{
    return listening_ != nullptr && listening_->isEnabled();
}

void SessionEndpoint::UpdateAccepting()
{
    if (listening_ != nullptr) {
        listening_->setEnabled(!paused_ && connections_.size() < ConnectionLimit);
    }
}

void SessionEndpoint::PauseAccepting(int error)
{
    // The connection stays in the backlog, so the socket stays readable:
    // listening on would wake the program at once, for ever.
    paused_ = true;
    UpdateAccepting();
    acceptPause_->SetEnabled(true);
    if (!shortageLogged_) {
        shortageLogged_ = true;
        Log("Hand-over connections cannot be taken (" + std::string(std::strerror(error)) +
            "); listening pauses for a second at a time");
    }
}

void SessionEndpoint::Accept()
{
    while (connections_.size() < ConnectionLimit) {
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            if (error == EINTR || error == ECONNABORTED) {
                continue;
            }
            if (error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM) {
                PauseAccepting(error);
            }
            return;
        }
        shortageLogged_ = false;
        ucred peer{};
        socklen_t size = sizeof peer;
        if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != geteuid()) {
            close(fd);
            continue;
        }
        auto connection = std::make_unique<Connection>();
        connection->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connection->acceptedMs = ClockMs();
        QObject::connect(connection->notifier, &QSocketNotifier::activated, this, [this, fd] { Read(fd); });
        connections_[fd] = std::move(connection);
        if (!overdueCheck_->Enabled()) {
            overdueCheck_->SetEnabled(true);
        }
    }
    // Full: later connections wait in the backlog until one of these ends.
    UpdateAccepting();
}

void SessionEndpoint::DropOverdue()
{
    // Counted from the acceptance, not from the last byte: a peer that sends
    // a byte now and then must not keep its slot.
    const std::int64_t now = ClockMs();
    std::vector<int> overdue;
    for (const auto& [fd, connection] : connections_) {
        if (now - connection->acceptedMs >= DeliveryLimitMs) {
            overdue.push_back(fd);
        }
    }
    for (const int fd : overdue) {
        Drop(fd);
    }
}

void SessionEndpoint::Drop(int fd)
{
    const auto it = connections_.find(fd);
    if (it == connections_.end()) {
        return;
    }
    // The notifier may be the one whose signal runs now: delete it later.
    it->second->notifier->setEnabled(false);
    it->second->notifier->deleteLater();
    connections_.erase(it);
    close(fd);
    if (connections_.empty()) {
        overdueCheck_->SetEnabled(false);
    }
    UpdateAccepting();
}

void SessionEndpoint::Read(int fd)
{
    const auto it = connections_.find(fd);
    if (it == connections_.end()) {
        return;
    }
    std::string& bytes = it->second->bytes;
    bool ended = false;
    char buffer[4096];
    while (bytes.size() <= MaxTextBytes + 6) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ended = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        break;
    }
    if (bytes.size() < 4) {
        if (ended) {
            Drop(fd); // gone before it said anything
        }
        return;
    }
    std::uint32_t size = 0;
    for (int i = 3; i >= 0; --i) {
        size = (size << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    }
    if (size > MaxTextBytes + 2) {
        Log("Hand-over of " + std::to_string(size) + " bytes refused");
        Drop(fd);
        return;
    }
    if (bytes.size() < 4 + static_cast<std::size_t>(size)) {
        if (ended) {
            Drop(fd); // gone halfway
        }
        return; // more to come
    }
    // The text ends at the first zero byte, as the sender framed it. It is
    // kept byte for byte: it is a command line, whose file names are the
    // bytes the file system holds. Decoded, a name with one byte of another
    // code page would turn the whole text into code page 932 and name
    // another file, or none.
    const std::string_view payload(bytes.data() + 4, size);
    std::string text(payload.substr(0, payload.find('\0')));
    if (!taking_) {
        Log("Hand-over refused: this session takes no command lines now: " + text, 0);
        send(fd, &refusal, 1, MSG_NOSIGNAL);
        Drop(fd);
        return;
    }
    // A text acknowledged is one the sender counts on: when the queue is
    // full the new one is refused, never an older one dropped.
    if (!text.empty() && texts_.size() >= QueueLimit) {
        Log("Hand-over refused: " + std::to_string(texts_.size()) + " command lines wait already: " + text, 0);
        send(fd, &queueFullAnswer, 1, MSG_NOSIGNAL);
        Drop(fd);
        return;
    }
    if (!text.empty()) {
        texts_.push_back(std::move(text));
    }
    send(fd, &acknowledgement, 1, MSG_NOSIGNAL);
    Drop(fd);
}

std::optional<std::string> SessionEndpoint::TakeText()
{
    if (texts_.empty()) {
        return std::nullopt;
    }
    std::string text = std::move(texts_.front());
    texts_.pop_front();
    return text;
}

bool SessionRunning(std::string_view caption)
{
    const std::string lockPath = SessionLockPath(caption);
    if (lockPath.empty()) {
        return false;
    }
    const int fd = open(lockPath.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false; // never claimed
    }
    bool running = false;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        flock(fd, LOCK_UN);
    } else {
        running = errno == EWOULDBLOCK;
    }
    close(fd);
    return running;
}

namespace {

// Connects to the session's socket. A session that has just taken its lock
// may not listen yet, so a refused connection is tried again for a while. A
// session whose backlog is full (slow peers, or a stopped session) would hold
// connect() for ever: the socket's send time-out bounds that wait.
int ConnectToSession(const std::string& socketPath, const WallDeadline& deadline)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    for (int attempt = 0; attempt < connectAttempts; ++attempt) {
        if (deadline.Passed()) {
            errno = ETIMEDOUT;
            return -1;
        }
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return -1;
        }
        const timeval timeout = deadline.RemainingTimeout();
        if (setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) == 0 &&
            connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            return fd;
        }
        const int error = errno;
        close(fd);
        errno = error;
        // EAGAIN: the backlog stayed full until the time-out; the deadline
        // check above ends the attempts then.
        if (error == EINTR || error == EAGAIN || error == EWOULDBLOCK) {
            continue;
        }
        if (error != ECONNREFUSED && error != ENOENT) {
            return -1;
        }
        CurrentClock().Sleep(std::min(connectPauseMs, deadline.RemainingMs()));
    }
    return -1;
}

bool SendAll(int fd, const std::string& bytes, const WallDeadline& deadline)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        // A session that does not read fills the socket's buffer.
        const timeval timeout = deadline.RemainingTimeout();
        if (deadline.Passed() || setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) != 0) {
            return false;
        }
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// The session's answer byte; 0 when none came in time.
char AwaitAnswer(int fd, const WallDeadline& deadline)
{
    pollfd waiting{fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = poll(&waiting, 1, deadline.RemainingMs());
    } while (ready < 0 && errno == EINTR);
    char answer = 0;
    if (ready != 1 || recv(fd, &answer, 1, MSG_DONTWAIT) != 1) {
        return 0;
    }
    return answer;
}

} // namespace

int SendToSession(std::string_view caption, std::string_view text, int deadlineMs)
{
    const WallDeadline deadline(deadlineMs);
    if (!SessionRunning(caption)) {
        return 0;
    }
    if (text.size() > SessionEndpoint::MaxTextBytes) {
        Log("Hand-over to " + std::string(caption) + " refused: the text is too long");
        return 0;
    }
    const std::string socketPath = SessionSocketPath(caption);
    const int fd = ConnectToSession(socketPath, deadline);
    if (fd < 0) {
        Log("Hand-over to " + std::string(caption) + " failed: no connection (" + ErrnoText() + ")");
        return 0;
    }
    const auto size = static_cast<std::uint32_t>(text.size() + 2);
    std::string message;
    message.reserve(4 + size);
    for (int shift = 0; shift < 32; shift += 8) {
        message += static_cast<char>((size >> shift) & 0xFFu);
    }
    message.append(text);
    message.append(2, '\0');
    const char answer = SendAll(fd, message, deadline) ? AwaitAnswer(fd, deadline) : 0;
    close(fd);
    if (answer == refusal) {
        Log("Hand-over to " + std::string(caption) + " refused: the session takes no command lines now");
    } else if (answer == queueFullAnswer) {
        Log("Hand-over to " + std::string(caption) + " refused: too many command lines wait there already");
    } else if (answer != acknowledgement) {
        Log("Hand-over to " + std::string(caption) + " failed: no answer");
    }
    return answer == acknowledgement ? 1 : 0;
}

bool ClaimProcessSession(std::string_view caption)
{
    auto& endpoint = ProcessEndpoint();
    if (endpoint && endpoint->Caption() == caption) {
        return true;
    }
    std::unique_ptr<SessionEndpoint> claimed = SessionEndpoint::Claim(caption);
    if (!claimed) {
        return false;
    }
    endpoint = std::move(claimed);
    return true;
}

SessionEndpoint* ProcessSession()
{
    return ProcessEndpoint().get();
}

void ReleaseProcessSession()
{
    ProcessEndpoint().reset();
}

} // namespace platform
