// "&Off" writing the session log of N pages (default 100,000): our writeSessionLog (log text
// in Windows-1252, written whole to a temporary file and put in place) next to plain stdio
// writing the same bytes line by line and flushing them to disk, in the same run.
//
// Usage: bench_log [N]

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include "shell/sessionlog.h"
#include "state/appstate.h"
#include "state/listentry.h"

using namespace tolvex;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    long count = 100000;
    if (argc > 1) {
        char *end = nullptr;
        count = std::strtol(argv[1], &end, 10);
        if (*end != '\0' || count <= 0) {
            std::fprintf(stderr, "usage: %s [N]   N: pages in the log, a positive whole number\n", argv[0]);
            return 2;
        }
    }
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_log: no temporary directory: %s\n", qPrintable(dir.errorString()));
        return 2;
    }
    AppState state;
    state.UserName = QStringLiteral("Ann");
    const QDateTime when(QDate(1997, 3, 2), QTime(14, 5, 9));
    for (long i = 0; i < count; ++i) {
        state.store.storeText(QStringLiteral("Meeting moved to room %1, caf\u00e9 at four.").arg(i));
        state.store.storeHost(QStringLiteral("10.0.0.5"));
        state.store.appendLine(listEntry(when, QStringLiteral("Sender%1").arg(i % 50), QStringLiteral("10.0.0.5")));
        state.store.raiseCount();
    }

    // The text alone, without the file.
    double textOnly = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        const QByteArray text = sessionLogText(state, when);
        textOnly = std::min(textOnly, secondsSince(start));
    }

    // Ours, three times; the best run counts.
    double ours = 1e9;
    QString path;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        path = writeSessionLog(state, dir.path());
        ours = std::min(ours, secondsSince(start));
    }
    if (path.isEmpty()) {
        std::fprintf(stderr, "bench_log: the log could not be written in %s\n", qPrintable(dir.path()));
        return 1;
    }
    QFile written(path);
    if (!written.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_log: cannot read back %s\n", qPrintable(path));
        return 1;
    }
    const QByteArray bytes = written.readAll();

    // Plain stdio: the same bytes, one fputs per line, then flushed to disk.
    const QByteArray plainPath = QFile::encodeName(dir.filePath(QStringLiteral("plain.log")));
    double plain = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        FILE *out = std::fopen(plainPath.constData(), "wb");
        if (!out) {
            std::perror("bench_log: plain.log");
            return 1;
        }
        qsizetype from = 0;
        while (from < bytes.size()) {
            qsizetype to = bytes.indexOf('\n', from);
            to = to < 0 ? bytes.size() : to + 1;
            std::fwrite(bytes.constData() + from, 1, std::size_t(to - from), out);
            from = to;
        }
        std::fflush(out);
        ::fsync(fileno(out));
        std::fclose(out);
        plain = std::min(plain, secondsSince(start));
    }

    std::printf("session log of %ld pages, %lld bytes (best of three)\n", count, (long long)bytes.size());
    std::printf("%-44s %10.1f ms %10.1f MB/s\n", "ours (writeSessionLog)", ours * 1e3, bytes.size() / ours / 1e6);
    std::printf("%-44s %10.1f ms\n", "  of which building the text (sessionLogText)", textOnly * 1e3);
    std::printf("%-44s %10.1f ms %10.1f MB/s\n", "plain stdio, line by line, fsync", plain * 1e3,
                bytes.size() / plain / 1e6);
    std::printf("time ratio (ours / plain): %.2f\n", ours / plain);
    return 0;
}
