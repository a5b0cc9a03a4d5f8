// Telnet greetings per second: callers connect one after another over loopback, read the
// greeting up to the menu and hang up. Our remote access (TCP1, TCP2, telnet filter and
// dispatcher) next to a plain POSIX server that accepts and writes the same bytes, in the
// same run.
//
// Usage: bench_telnet [N]   (default 2000 callers)

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include <QColor>
#include <QCoreApplication>

#include "paging/alert.h"
#include "platform/sockets.h"
#include "platform/soundplayer.h"
#include "remote/banner.h"
#include "remote/dispatcher.h"
#include "remote/remoteaccess.h"
#include "state/appstate.h"

#include "testsupport.h"

using namespace tolvex;
using namespace tolvex::testing;
using Clock = std::chrono::steady_clock;

namespace {

const std::string MenuEnd = "[2] Check messages on this pager (requires password)\r\n";

struct Result
{
    long greetings = 0;
    long busy = 0;
    double seconds = 0;
    std::string greeting;
};

// One caller: connect, read until the menu (or the busy notice, or the end), hang up.
// Gives the bytes read; `greeted` tells which it was.
std::string call(quint16 port, bool &greeted)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string got;
    greeted = false;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0) {
        char buffer[8192];
        for (;;) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            got.append(buffer, std::size_t(n));
            if (got.find(MenuEnd) != std::string::npos) {
                greeted = true;
                break;
            }
        }
    }
    ::close(fd);
    return got;
}

// Callers one after another until `count` were greeted.
Result callers(quint16 port, long count)
{
    Result r;
    const auto start = Clock::now();
    while (r.greetings < count) {
        bool greeted = false;
        std::string got = call(port, greeted);
        if (greeted) {
            ++r.greetings;
            if (r.greeting.empty())
                r.greeting = std::move(got);
        } else {
            ++r.busy; // the one before was not yet let go
        }
    }
    r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return r;
}

Result ours(QCoreApplication &app, long count)
{
    AppState state;
    prepareForCallers(state);
    QuietWindow window;
    QuietPlayer player;
    Alert alert(window, player);
    TcpControl TCP1(0);
    TcpControl TCP2(0);
    RemoteAccess access(state, TCP1, TCP2, alert, window, nullptr);
    SocketFailure failure;
    if (!TCP1.listen(&failure)) {
        std::fprintf(stderr, "bench_telnet: cannot listen: %s\n", qPrintable(failure.reason));
        std::exit(2);
    }
    Result r;
    std::thread client([&] {
        r = callers(TCP1.listeningPort(), count);
        QMetaObject::invokeMethod(&app, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    });
    app.exec();
    client.join();
    return r;
}

Result plain(const std::string &greeting, long count)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    if (::bind(listener, reinterpret_cast<sockaddr *>(&at), sizeof at) != 0 || ::listen(listener, 64) != 0
        || ::getsockname(listener, reinterpret_cast<sockaddr *>(&at), &length) != 0) {
        std::perror("bench_telnet: plain server");
        std::exit(2);
    }
    std::atomic<bool> stop{false};
    std::thread server([&] {
        while (!stop) {
            const int fd = ::accept(listener, nullptr, nullptr);
            if (fd < 0)
                break;
            (void)!::send(fd, greeting.data(), greeting.size(), MSG_NOSIGNAL);
            ::close(fd);
        }
    });
    Result r = callers(ntohs(at.sin_port), count);
    stop = true;
    ::shutdown(listener, SHUT_RDWR);
    ::close(listener);
    server.join();
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    long count = 2000;
    if (argc > 1) {
        char *end = nullptr;
        count = std::strtol(argv[1], &end, 10);
        if (*end != '\0' || count <= 0) {
            std::fprintf(stderr, "usage: %s [N]   N: number of callers, a positive whole number\n", argv[0]);
            return 2;
        }
    }
    const Result a = ours(app, count);
    const Result b = plain(a.greeting, count);
    std::printf("%ld callers one after another over loopback, each reading the %zu-byte greeting\n", count,
                a.greeting.size());
    std::printf("%-26s %12s %12s %14s\n", "server", "greetings", "busy", "greetings/s");
    std::printf("%-26s %12ld %12ld %14.0f\n", "ours (RemoteAccess)", a.greetings, a.busy, a.greetings / a.seconds);
    std::printf("%-26s %12ld %12ld %14.0f\n", "plain accept and write", b.greetings, b.busy, b.greetings / b.seconds);
    std::printf("rate ratio (ours / plain): %.3f\n", (a.greetings / a.seconds) / (b.greetings / b.seconds));
    return 0;
}
