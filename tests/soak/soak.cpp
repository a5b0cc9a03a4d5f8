// Soak run of the two network inputs on loopback: many telnet callers one after another and
// at once (all but one hear the busy notice), some leaving pages, some browsing, some hanging
// up mid-entry or sending garbage and negotiation bytes, while datagrams arrive from several
// senders. Afterwards every acknowledged page must be in the store and in the session log, in
// order, and the memory of callers who leave nothing must not grow with their number.
// Prints its figures; exits non-zero on a lost page, a hang, a wrong answer or clear growth.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QTimer>

#include "paging/alert.h"
#include "paging/receiver.h"
#include "platform/sockets.h"
#include "platform/soundplayer.h"
#include "remote/banner.h"
#include "remote/dispatcher.h"
#include "remote/remoteaccess.h"
#include "shell/sessionlog.h"
#include "state/appstate.h"

#include "testsupport.h"

using namespace tolvex;
using namespace tolvex::testing;
using Clock = std::chrono::steady_clock;

namespace {

const std::string MenuEnd = "[2] Check messages on this pager (requires password)\r\n";
const std::string Busy = SessionDispatcher::busyLine().toStdString();
const std::string Done = " done! Thankyou for using Tolvex! Now logging out..";
const std::string BrowsePrompt = "Enter a message number or key 'q' to quit: ";

long rssKiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(1 << 12, '\n');
    }
    return -1;
}

std::mutex reportLock;
std::atomic<int> faults{0};

void fault(const std::string &what)
{
    std::lock_guard lock(reportLock);
    std::fprintf(stderr, "FAULT: %s\n", what.c_str());
    ++faults;
}

// One caller's end of a telnet connection, blocking, with a time limit on every wait.
class Caller
{
public:
    explicit Caller(quint16 port)
    {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        timeval limit{10, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected = ::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0;
    }
    ~Caller() { hangUp(); }

    void hangUp()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    void send(const std::string &bytes) { (void)!::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }

    // Reads until `needle` has arrived after what was waited for before; false on end or time out.
    bool waitFor(const std::string &needle)
    {
        for (;;) {
            const std::size_t at = received.find(needle, consumed);
            if (at != std::string::npos) {
                consumed = at + needle.size();
                return true;
            }
            if (!readMore())
                return false;
        }
    }
    // Reads until the connection ends; false when it did not end in time.
    bool waitForEnd()
    {
        while (readMore()) {
        }
        return ended;
    }
    // Greeted (true) or turned away with the busy notice (false); a fault otherwise.
    bool greeted()
    {
        for (;;) {
            if (received.find(MenuEnd) != std::string::npos) {
                if (received.find(Busy) != std::string::npos)
                    fault("a caller heard both the greeting and the busy notice");
                consumed = received.find(MenuEnd) + MenuEnd.size();
                return true;
            }
            if (received.find(Busy) != std::string::npos) {
                if (!waitForEnd())
                    fault("a busy caller was not let go");
                return false;
            }
            if (!readMore()) {
                if (!ended)
                    fault("no greeting and no busy notice within 10 s");
                return false;
            }
        }
    }

    bool connected = false;
    bool ended = false;
    std::string received;

private:
    bool readMore()
    {
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            ended = n == 0;
            return false;
        }
        received.append(buffer, std::size_t(n));
        return true;
    }

    int fd = -1;
    std::size_t consumed = 0;
};

struct Totals
{
    std::atomic<int> sessions{0};
    std::atomic<int> busy{0};
    std::atomic<int> pagesLeft{0};
    std::atomic<int> browses{0};
    std::atomic<int> hangUps{0};
    std::atomic<int> garbage{0};
    std::atomic<int> datagrams{0};
};

std::mutex ackLock;
// Per caller name (one per thread, so in the order its pages were left): the texts whose
// "done!" arrived.
std::map<std::string, std::vector<std::string>> telnetAcks;
int telnetAckCount = 0;

// Connects until greeted, for up to a minute while others hold the pager (there is no
// queue: whoever calls the moment the pager is free gets it).
bool reach(Caller *&caller, quint16 port, Totals &totals)
{
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    for (int attempt = 0; Clock::now() < deadline; ++attempt) {
        caller = new Caller(port);
        if (!caller->connected) {
            fault("connect failed");
            delete caller;
            caller = nullptr;
            return false;
        }
        if (caller->greeted()) {
            ++totals.sessions;
            return true;
        }
        ++totals.busy;
        delete caller;
        caller = nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(1 + attempt % 5));
    }
    fault("never got through the busy notice in a minute");
    return false;
}

void leavePage(quint16 port, Totals &totals, const std::string &name, const std::string &text)
{
    Caller *c = nullptr;
    if (!reach(c, port, totals))
        return;
    c->send("1");
    bool ok = c->waitFor("Please enter your name: ");
    c->send(name);
    ok = ok && c->waitFor(name);
    c->send("\r");
    ok = ok && c->waitFor("A '\\' saves and quits.\r\n\r\n");
    // The text in a few pieces, with a typo taken back.
    const std::size_t half = text.size() / 2;
    c->send(text.substr(0, half));
    ok = ok && c->waitFor(text.substr(0, half));
    c->send("x");
    ok = ok && c->waitFor("x");
    c->send("\x7f");
    ok = ok && c->waitFor("\x08");
    c->send(text.substr(half));
    ok = ok && c->waitFor(text.substr(half));
    c->send("\\");
    if (ok && c->waitFor(Done)) {
        std::lock_guard lock(ackLock);
        telnetAcks[name].push_back(text);
        ++telnetAckCount;
        ++totals.pagesLeft;
        if (!c->waitForEnd())
            fault("the session did not end after its page was saved");
    } else {
        fault("page entry of " + name + " went wrong");
    }
    delete c;
}

void browse(quint16 port, Totals &totals, bool rightPasscode, std::mt19937 &random)
{
    Caller *c = nullptr;
    if (!reach(c, port, totals))
        return;
    c->send("2");
    bool ok = c->waitFor("Please enter your passcode: ");
    c->send(rightPasscode ? "WobNel" : "nope");
    ok = ok && c->waitFor("*");
    c->send(std::string("\r\0", 2));
    if (!rightPasscode) {
        ok = ok && c->waitFor("Wrong password, exiting..") && c->waitForEnd();
    } else {
        ok = ok && c->waitFor(" *** Access Granted ***") && c->waitFor(BrowsePrompt);
        for (int look = 0; ok && look < 3; ++look) {
            const std::string number = std::to_string(random() % 50);
            c->send(number);
            ok = c->waitFor(number);
            c->send("\r");
            ok = ok && c->waitFor(" * ") && c->waitFor(BrowsePrompt);
        }
        c->send("q");
        ok = ok && c->waitFor("Requested exit by user.. Bye!") && c->waitForEnd();
    }
    if (!ok)
        fault(rightPasscode ? "browsing went wrong" : "a wrong passcode was not refused");
    ++totals.browses;
    delete c;
}

// Leaves in the middle: after the name, in the text, or at the passcode.
void hangUpMidway(quint16 port, Totals &totals, int where)
{
    Caller *c = nullptr;
    if (!reach(c, port, totals))
        return;
    if (where == 2) {
        c->send("2");
        c->waitFor("Please enter your passcode: ");
        c->send("wob");
        c->waitFor("*");
    } else {
        c->send("1");
        c->waitFor("Please enter your name: ");
        c->send("Quitter");
        c->waitFor("Quitter");
        if (where == 1) {
            c->send("\r");
            c->waitFor("saves and quits.\r\n\r\n");
            c->send("never finished");
            c->waitFor("never finished");
        }
    }
    ++totals.hangUps;
    delete c; // hangs up
}

// Random bytes with telnet commands, options and subnegotiations mixed in, then gone.
void sendGarbage(quint16 port, Totals &totals, std::mt19937 &random)
{
    Caller *c = nullptr;
    if (!reach(c, port, totals))
        return;
    static const std::string pieces[] = {"\xff\xfd\x01", "\xff\xfb\x18", "\xff\xfa\x18\x00xterm\xff\xf0",
                                         "\xff\xff", "\xff\xf4", "\xff\xfe\x22", "\r\0", "\x7f", "\x08", "\xff"};
    for (int burst = 0; burst < 4; ++burst) {
        std::string bytes;
        const int length = int(random() % 200);
        for (int i = 0; i < length; ++i) {
            if (random() % 8 == 0)
                bytes += pieces[random() % std::size(pieces)];
            else
                bytes += char(random() % 256);
        }
        // No backslash: garbage must never save a page.
        if (bytes.find('\\') != std::string::npos)
            bytes.erase(std::remove(bytes.begin(), bytes.end(), '\\'), bytes.end());
        c->send(bytes);
    }
    ++totals.garbage;
    delete c;
}

void sendDatagrams(quint16 port, int sender, int count, Totals &totals)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int i = 0; i < count; ++i) {
        const std::string page = "udp" + std::to_string(sender) + "\x1b" + "datagram " + std::to_string(i);
        if (::sendto(fd, page.data(), page.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to)
            == ssize_t(page.size()))
            ++totals.datagrams;
        else
            fault("sendto failed");
        // Paced: the kernel's receive buffer is large, but the receiver shares the thread
        // with the telnet sessions.
        if (i % 20 == 19)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::close(fd);
}

struct Load
{
    int callerThreads = 4;
    int sessionsEach = 40;
    int udpSenders = 3;
    int datagramsEach = 1000;
    bool leavePages = true;
};

// Runs one round of callers and senders against the pager while the event loop turns.
void runRound(QCoreApplication &app, quint16 tcpPort, quint16 udpPort, const Load &load, Totals &totals,
              unsigned seed)
{
    std::vector<std::thread> threads;
    std::atomic<int> running{0};
    const auto finished = [&] {
        if (--running == 0)
            QMetaObject::invokeMethod(&app, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    };
    running = load.callerThreads + load.udpSenders;
    for (int t = 0; t < load.callerThreads; ++t) {
        threads.emplace_back([&, t] {
            std::mt19937 random(seed + unsigned(t));
            for (int s = 0; s < load.sessionsEach; ++s) {
                const int kind = int(random() % 10);
                if (load.leavePages && kind < 4) {
                    leavePage(tcpPort, totals, "caller" + std::to_string(t),
                              "page " + std::to_string(seed) + "-" + std::to_string(t) + "-" + std::to_string(s));
                } else if (kind < 6) {
                    browse(tcpPort, totals, random() % 60 != 0, random);
                } else if (kind < 8) {
                    hangUpMidway(tcpPort, totals, int(random() % 3));
                } else {
                    sendGarbage(tcpPort, totals, random);
                }
            }
            finished();
        });
    }
    for (int u = 0; u < load.udpSenders; ++u)
        threads.emplace_back([&, u] {
            sendDatagrams(udpPort, int(seed % 100) * 10 + u, load.datagramsEach, totals);
            finished();
        });
    app.exec();
    for (std::thread &thread : threads)
        thread.join();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const auto started = Clock::now();

    AppState state;
    prepareForCallers(state);

    QuietWindow window;
    QuietPlayer player;
    Alert alert(window, player);
    TcpControl TCP1(0);
    TcpControl TCP2(0);
    UdpControl UDP1(0, 0);
    RemoteAccess access(state, TCP1, TCP2, alert, window, nullptr);
    SocketFailure failure;
    if (!TCP1.listen(&failure) || !UDP1.bind(&failure)) {
        std::fprintf(stderr, "cannot open the sockets: %s\n", qPrintable(failure.reason));
        return 2;
    }
    QObject::connect(&UDP1, &UdpControl::dataArrival, &app, [&] { receivePage(state, UDP1, alert); });
    const quint16 tcpPort = TCP1.listeningPort();
    const quint16 udpPort = UDP1.boundPort();

    Totals totals;
    const long rssStart = rssKiB();
    runRound(app, tcpPort, udpPort, Load{}, totals, 1);
    const long rssWarm = rssKiB();
    const qsizetype pagesWarm = state.store.MessageCount();
    for (unsigned round = 2; round <= 2; ++round)
        runRound(app, tcpPort, udpPort, Load{}, totals, round);
    const long rssLoaded = rssKiB();
    const int sessionsLoaded = totals.sessions;

    // Callers who leave nothing: the memory must not follow their number.
    Load nothingLeft;
    nothingLeft.sessionsEach = 150;
    nothingLeft.udpSenders = 0;
    nothingLeft.leavePages = false;
    runRound(app, tcpPort, udpPort, nothingLeft, totals, 4);
    const long rssAfter = rssKiB();
    const int sessionsIdle = totals.sessions - sessionsLoaded;

    // Every acknowledged page is stored, in order: telnet pages in the order "done!" came,
    // each sender's datagrams in the order they were sent.
    const MessageStore &store = state.store;
    if (store.lineCount() != store.MessageCount())
        fault("list lines and the count differ");
    std::map<std::string, std::size_t> nextAck;
    std::map<std::string, int> nextDatagram;
    int datagramsStored = 0;
    for (qsizetype i = 0; i < store.MessageCount(); ++i) {
        const std::string text = store.text(i).toStdString();
        const std::string line = store.line(i).toStdString();
        if (text.rfind("datagram ", 0) == 0) {
            const std::string sender = line.substr(line.find(" from ") + 6, line.find(" (") - line.find(" from ") - 6);
            const int number = std::stoi(text.substr(9));
            if (number != nextDatagram[sender])
                fault("datagram " + std::to_string(nextDatagram[sender]) + " of " + sender + " missing or out of order");
            nextDatagram[sender] = number + 1;
            ++datagramsStored;
        } else if (text.rfind("page ", 0) == 0) {
            const std::size_t from = line.find(" from ");
            const std::string sender = line.substr(from + 6, line.find(" (", from) - from - 6);
            const std::vector<std::string> &acks = telnetAcks[sender];
            std::size_t &next = nextAck[sender];
            if (line.find(" (127.0.0.1)") == std::string::npos)
                fault("telnet page stored with the wrong address: " + line);
            // A page whose "done!" never arrived may be stored too; an acknowledged one may not be skipped.
            if (next < acks.size() && text == acks[next])
                ++next;
            else if (std::find(acks.begin() + std::ptrdiff_t(next), acks.end(), text) != acks.end())
                fault("telnet page stored out of order: " + text);
        }
    }
    for (const auto &[sender, acks] : telnetAcks)
        if (nextAck[sender] != acks.size())
            fault("acknowledged telnet page missing: " + acks[nextAck[sender]]);
    if (datagramsStored != totals.datagrams)
        fault(std::to_string(totals.datagrams - datagramsStored) + " datagrams lost");

    // The session log holds them all, in store order.
    const QByteArray log = sessionLogText(state, QDateTime::currentDateTime(), QLocale::c());
    qsizetype at = 0;
    for (qsizetype i = 0; i < store.MessageCount(); ++i) {
        const QByteArray entry = store.line(i).toLatin1() + "\r\n" + store.text(i).toLatin1() + "\r\n\r\n";
        const qsizetype found = log.indexOf(entry, at);
        if (found < 0) {
            fault("page " + std::to_string(i) + " missing from the session log");
            break;
        }
        at = found + entry.size();
    }

    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    std::printf("soak: %.1f s, %d sessions greeted, %d busy notices, %d telnet pages acknowledged, "
                "%d browses, %d hang-ups, %d garbage callers, %d datagrams sent, %lld pages stored, log %lld bytes\n",
                seconds, int(totals.sessions), int(totals.busy), telnetAckCount, int(totals.browses),
                int(totals.hangUps), int(totals.garbage), int(totals.datagrams), (long long)store.MessageCount(),
                (long long)log.size());
    std::printf("memory (VmRSS): start %ld KiB, after warm-up %ld KiB (%lld pages), loaded %ld KiB (%lld pages), "
                "after %d more callers who left nothing %ld KiB (%+ld KiB)\n",
                rssStart, rssWarm, (long long)pagesWarm, rssLoaded, (long long)store.MessageCount(), sessionsIdle,
                rssAfter, rssAfter - rssLoaded);
    // Clear growth only: a few KiB per caller who leaves nothing would be a leak per session.
    if (rssAfter - rssLoaded > 8 * 1024 + sessionsIdle * 2)
        fault("memory grows with callers who leave nothing");
    if (totals.busy == 0)
        fault("no caller ever heard the busy notice: the callers never overlapped");
    if (faults != 0) {
        std::fprintf(stderr, "soak: %d faults\n", int(faults));
        return 1;
    }
    std::printf("soak: no faults\n");
    return 0;
}
