// Pages per second, pages lost and peak memory of our page receiver (UDP1 with the receiver
// filing every page in the message store, the main window's list shown offscreen, alert on a
// window that does nothing) next to a
// minimal receiver written with plain POSIX recvfrom, in the same run. Each receiver runs
// in a child process of its own, so that each peak memory figure is its own; in each, a
// sender thread sends N pages back to back over loopback without waiting for the receiver.
//
// Usage: bench_udp [N]   (default 100000)

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "paging/alert.h"
#include "paging/receiver.h"
#include "platform/sockets.h"
#include "platform/soundplayer.h"
#include "shell/messagelist_widgets.h"
#include "state/appstate.h"

#include "testsupport.h"

namespace {

using Clock = std::chrono::steady_clock;

// How long the receiver waits, once the sender is done, for pages still on their way.
constexpr auto Quiet = std::chrono::milliseconds(300);

struct Figures
{
    long sent = 0;
    long received = 0;
    long outOfOrder = 0;
    double seconds = 0;
    long peakKiB = 0;
};

long peakMemoryKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// Sends `count` pages to 127.0.0.1:port as fast as the socket takes them.
void sendPages(quint16 port, long count, std::atomic<long> &sent, std::atomic<bool> &done)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    char page[64];
    for (long i = 0; i < count; ++i) {
        const int length = std::snprintf(page, sizeof page, "Bench\x1bpage %ld", i);
        if (::sendto(fd, page, size_t(length), 0, reinterpret_cast<sockaddr *>(&to), sizeof to) == length)
            sent.fetch_add(1, std::memory_order_relaxed);
    }
    ::close(fd);
    done = true;
}

Figures runOurs(long count)
{
    int argc = 1;
    char name[] = "bench_udp";
    char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    tolvex::AppState state;
    // The main window's list at its size, shown: it repaints as pages arrive.
    tolvex::MessageList List1(state.store);
    List1.resize(277, 81);
    List1.show();
    tolvex::testing::QuietWindow window;
    tolvex::EffectPlayer player; // pointed at a file that is not there: a silent alert
    tolvex::Alert alert(window, player);
    alert.setupPlayer(QStringLiteral("/nonexistent"));
    tolvex::UdpControl UDP1(0, 0);
    tolvex::SocketFailure failure;
    if (!UDP1.bind(&failure)) {
        std::fprintf(stderr, "bench_udp: binding failed: %s\n", qPrintable(failure.reason));
        std::exit(1);
    }

    Figures figures;
    Clock::time_point start;
    Clock::time_point last;
    QObject::connect(&UDP1, &tolvex::UdpControl::dataArrival, &UDP1, [&] {
        tolvex::receivePage(state, UDP1, alert);
        last = Clock::now();
    });

    std::atomic<long> sent{0};
    std::atomic<bool> done{false};
    start = last = Clock::now();
    std::thread sender(sendPages, UDP1.boundPort(), count, std::ref(sent), std::ref(done));

    QTimer watch;
    qsizetype seen = -1;
    Clock::time_point quietSince = Clock::now();
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        const qsizetype now = state.store.MessageCount();
        if (now != seen) {
            seen = now;
            quietSince = Clock::now();
        } else if (done && Clock::now() - quietSince > Quiet) {
            app.quit();
        }
    });
    watch.start(20);
    app.exec();
    sender.join();

    figures.sent = sent;
    figures.received = long(state.store.MessageCount());
    const QString prefix = QStringLiteral("page ");
    long expected = 0;
    for (qsizetype i = 0; i < state.store.MessageCount(); ++i) {
        const long number = state.store.text(i).mid(prefix.size()).toLong();
        if (number < expected)
            ++figures.outOfOrder;
        expected = number + 1;
    }
    figures.seconds = std::chrono::duration<double>(last - start).count();
    figures.peakKiB = peakMemoryKiB();
    return figures;
}

Figures runRecvfrom(long count)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int wanted = 16 * 1024 * 1024;
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &wanted, sizeof wanted) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &wanted, sizeof wanted);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&at), sizeof at) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr *>(&at), &length) != 0) {
        std::perror("bench_udp: bind");
        std::exit(1);
    }

    Figures figures;
    std::atomic<long> sent{0};
    std::atomic<bool> done{false};
    const Clock::time_point start = Clock::now();
    Clock::time_point last = start;
    std::thread sender(sendPages, ntohs(at.sin_port), count, std::ref(sent), std::ref(done));

    char buffer[65536];
    long expected = 0;
    for (;;) {
        pollfd waiting{fd, POLLIN, 0};
        if (::poll(&waiting, 1, int(Quiet.count())) == 0) {
            if (done)
                break;
            continue;
        }
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t got = ::recvfrom(fd, buffer, sizeof buffer - 1, 0, reinterpret_cast<sockaddr *>(&from), &fromLength);
        if (got < 0)
            continue;
        buffer[got] = '\0';
        ++figures.received;
        const char *text = std::strchr(buffer, '\x1b');
        const long number = text ? std::strtol(text + 6, nullptr, 10) : -1;
        if (number < expected)
            ++figures.outOfOrder;
        expected = number + 1;
        last = Clock::now();
    }
    sender.join();
    ::close(fd);
    figures.sent = sent;
    figures.seconds = std::chrono::duration<double>(last - start).count();
    figures.peakKiB = peakMemoryKiB();
    return figures;
}

// Runs one receiver in a child process and brings its figures back through a pipe.
bool inChild(Figures (*run)(long), long count, Figures &figures)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return false;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        const Figures result = run(count);
        const ssize_t wrote = ::write(pipeEnds[1], &result, sizeof result);
        ::_exit(wrote == ssize_t(sizeof result) ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    const ssize_t got = ::read(pipeEnds[0], &figures, sizeof figures);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return got == ssize_t(sizeof figures) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void print(const char *name, const Figures &f)
{
    const double rate = f.seconds > 0 ? f.received / f.seconds : 0;
    std::printf("%-28s %10ld %10ld %10ld %10ld %12.0f %12ld\n", name, f.sent, f.received, f.sent - f.received,
                f.outOfOrder, rate, f.peakKiB);
}

} // namespace

int main(int argc, char **argv)
{
    long count = 100000;
    if (argc > 1) {
        char *end = nullptr;
        count = std::strtol(argv[1], &end, 10);
        if (!end || *end != '\0' || count <= 0) {
            std::fprintf(stderr, "usage: %s [N]   N: number of pages to send, a positive whole number\n", argv[0]);
            return 2;
        }
    }

    Figures ours;
    Figures plain;
    if (!inChild(runOurs, count, ours) || !inChild(runRecvfrom, count, plain)) {
        std::fprintf(stderr, "bench_udp: a receiver did not finish\n");
        return 1;
    }
    std::printf("%ld pages over loopback, sent back to back from another thread\n", count);
    std::printf("%-28s %10s %10s %10s %10s %12s %12s\n", "receiver", "sent", "received", "lost", "reordered",
                "pages/s", "peak KiB");
    print("UDP1 + receivePage + list", ours);
    print("plain recvfrom", plain);
    if (plain.received > 0 && ours.seconds > 0 && plain.seconds > 0)
        std::printf("rate ratio (ours / plain): %.3f\n", (ours.received / ours.seconds) / (plain.received / plain.seconds));
    return 0;
}
