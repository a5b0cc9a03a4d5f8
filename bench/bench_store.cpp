// The cost of one message in a store of many: filing a page, the store lookups, selecting a
// line in the list view, and showing one message to a browsing caller, at 1,000 pages and at
// N pages (default 100,000), each next to a plain baseline in the same run. Also the peak
// memory per stored page next to the bytes the page itself holds.
//
// Usage: bench_store [N]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QColor>
#include <QDateTime>
#include <QStringList>

#include "paging/alert.h"
#include "platform/soundplayer.h"
#include "remote/banner.h"
#include "remote/dispatcher.h"
#include "shell/messagelist_widgets.h"
#include "state/appstate.h"
#include "state/listentry.h"

#include "testsupport.h"

using namespace tolvex;
using namespace tolvex::testing;
using Clock = std::chrono::steady_clock;

namespace {

long statusKiB(const char *key)
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == key) {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(1 << 12, '\n');
    }
    return -1;
}

struct CountingLink : SessionLink
{
    qsizetype bytes = 0;
    void send(const QString &text) override { bytes += text.size(); }
    void close() override {}
    QString remoteAddress() const override { return QStringLiteral("10.0.0.5"); }
    QString remoteHost() const override { return QStringLiteral("10.0.0.5"); }
    void pauseBeforeRefusal() override {}
};

QString pageText(long i)
{
    return QStringLiteral("Meeting moved to room %1, bring the printed figures please.").arg(i);
}

// Files one page the way the datagram receiver does: host, line, selection, text, count.
void file(MessageStore &store, const QDateTime &when, long i)
{
    store.storeHost(QStringLiteral("10.0.%1.%2").arg(i / 256 % 256).arg(i % 256));
    store.appendLine(listEntry(when, QStringLiteral("Sender%1").arg(i % 50), store.host(store.MessageCount())));
    store.select(store.MessageCount());
    store.storeText(pageText(i));
    store.raiseCount();
}

template<typename F>
double microsecondsEach(int repeats, F &&f)
{
    const auto start = Clock::now();
    for (int r = 0; r < repeats; ++r)
        f(r);
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / repeats;
}

} // namespace

int main(int argc, char **argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    long count = 100000;
    if (argc > 1) {
        char *end = nullptr;
        count = std::strtol(argv[1], &end, 10);
        if (*end != '\0' || count < 1000) {
            std::fprintf(stderr, "usage: %s [N]   N: pages in the store, a whole number of at least 1000\n", argv[0]);
            return 2;
        }
    }
    const QDateTime when(QDate(1997, 3, 2), QTime(14, 5, 9));
    const QLocale locale(QLocale::English, QLocale::UnitedStates);
    QLocale::setDefault(locale);

    AppState state;
    prepareForCallers(state);
    MessageStore &store = state.store;
    // The main window's list, at its size, shown (offscreen) for the whole run.
    MessageList List1(store);
    List1.resize(277, 81);
    List1.show();
    QuietWindow window;
    QuietPlayer player;
    Alert alert(window, player);
    CountingLink link;
    SessionDispatcher dispatcher(state, link, alert);

    std::printf("%-48s %14s %14s\n", "", "at 1,000", QStringLiteral("at %L1").arg(count).toLatin1().constData());
    const long rssEmpty = statusKiB("VmRSS:");
    const long peakEmpty = statusKiB("VmHWM:");
    struct Row
    {
        double small = 0, large = 0;
    };
    Row filing, lookup, plainLookup, selecting, showing, listBytes;
    qsizetype payloadBytes = 0;
    std::vector<QString> plainTexts; // baseline: the texts alone in a plain vector
    plainTexts.reserve(std::size_t(count));

    const auto measure = [&](double Row::*column) {
        const qsizetype n = store.MessageCount();
        // Filing one more page (the receiver's steps); taken back out of the figures below by
        // measuring on the store as it now is.
        (filing.*column) = microsecondsEach(200, [&](int r) {
            file(store, when, long(n) + r);
            QCoreApplication::processEvents();
        });
        for (int r = 0; r < 200; ++r)
            plainTexts.push_back(pageText(long(n) + r));
        const qsizetype last = store.MessageCount() - 1;
        volatile qsizetype sink = 0;
        (lookup.*column) = microsecondsEach(100000, [&](int r) {
            const qsizetype i = last - r % 1000;
            sink = sink + store.line(i).size() + store.text(i).size() + store.host(i).size();
        });
        (plainLookup.*column) = microsecondsEach(100000, [&](int r) {
            sink = sink + plainTexts[std::size_t(last - r % 1000)].size();
        });
        (selecting.*column) = microsecondsEach(200, [&](int r) {
            store.select(last - r % 100);
            sink = sink + store.selectedIndex();
            QCoreApplication::processEvents();
        });
        // One message shown to a browsing caller: the number, Enter, the message, the list again.
        (showing.*column) = microsecondsEach(20, [&](int r) {
            state.SessionState = Browsing;
            state.NumberBuffer = QString::number(last - r);
            const qsizetype before = link.bytes;
            dispatcher.handleChunk(QStringLiteral("\r"));
            (listBytes.*column) = double(link.bytes - before);
        });
    };

    for (long i = 0; i < 1000 - 200; ++i)
        file(store, when, i);
    for (long i = 0; i < 1000 - 200; ++i)
        plainTexts.push_back(pageText(i));
    measure(&Row::small);
    // Filled with the list shown, repainted every 100 pages as a busy event loop would.
    const auto fillStart = Clock::now();
    for (long i = store.MessageCount(); i < count - 200; ++i) {
        file(store, when, i);
        plainTexts.push_back(pageText(i));
        if (i % 100 == 0)
            QCoreApplication::processEvents();
    }
    const double fillSeconds = std::chrono::duration<double>(Clock::now() - fillStart).count();
    QCoreApplication::processEvents();
    measure(&Row::large);
    for (qsizetype i = 0; i < store.MessageCount(); ++i)
        payloadBytes += 2 * (store.line(i).size() + store.text(i).size() + store.host(i).size());
    const long peakFull = statusKiB("VmHWM:");

    const auto row = [](const char *name, const Row &r, const char *unit) {
        std::printf("%-48s %12.3f %s %12.3f %s   (x%.2f)\n", name, r.small, unit, r.large, unit, r.large / r.small);
    };
    row("filing one page (receiver steps, list repainted)", filing, "us");
    row("store lookup: line, text, host", lookup, "us");
    row("  baseline: text from a plain vector", plainLookup, "us");
    row("select a line, list view updated", selecting, "us");
    row("show one message to a browsing caller", showing, "us");
    std::printf("%-48s %12.0f ch %12.0f ch\n", "  of which characters sent (message + list)", listBytes.small,
                listBytes.large);
    std::printf("  baseline: those characters at the plain lookup rate: %.1f us\n",
                listBytes.large / 70.0 * plainLookup.large);
    std::printf("filling %ld pages with the list shown took %.2f s (%.2f us per page)\n", count, fillSeconds,
                fillSeconds * 1e6 / double(count - 1000));
    std::printf("memory: VmRSS empty %ld KiB; peak (VmHWM) %ld KiB before, %ld KiB with %lld pages\n", rssEmpty,
                peakEmpty, peakFull, (long long)store.MessageCount());
    std::printf("peak memory per stored page: %.0f bytes; baseline, the page's own characters (UTF-16): %.0f bytes (x%.2f)\n",
                double(peakFull - peakEmpty) * 1024.0 / double(store.MessageCount()),
                double(payloadBytes) / double(store.MessageCount()),
                double(peakFull - peakEmpty) * 1024.0 / double(payloadBytes));
    return 0;
}
