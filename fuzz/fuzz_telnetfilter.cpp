// Arbitrary caller bytes through the telnet filter, whole and split at arbitrary points:
// the typed bytes and the replies must not depend on how the bytes were cut into arrivals.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QByteArray>

#include "remote/telnetfilter.h"

#include "fuzzcheck.h"

using namespace tolvex;
using tolvex::fuzzing::check;

namespace {

// Bytes with the end-of-line form after a CR left out: CR NUL is the Enter key on the wire
// and the filter may hand it on as CR or as CR LF; everything else must come through as it is.
QByteArray lineEndsFolded(const QByteArray &bytes)
{
    QByteArray out;
    bool afterCR = false;
    for (const char b : bytes) {
        if (!(afterCR && (b == '\0' || b == '\n')))
            out += b;
        afterCR = b == '\r';
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    if (size < 2)
        return 0;
    // The first byte seeds the cut points; the rest is what the caller sends.
    unsigned seed = bytes[0] | 1u;
    const QByteArray input(reinterpret_cast<const char *>(bytes + 1), qsizetype(size - 1));

    TelnetFilter whole;
    const QByteArray offer = whole.offer();
    check(offer == QByteArray("\xff\xfb\x01\xff\xfb\x03", 6), "the opening offer");
    check(whole.offer().isEmpty(), "the offer is made once");
    const TelnetFilter::Output all = whole.feed(input);
    check(all.data.size() <= input.size(), "typed bytes never outnumber the arrival");

    TelnetFilter split;
    split.offer();
    QByteArray data;
    QByteArray reply;
    for (qsizetype at = 0; at < input.size();) {
        seed = seed * 1103515245u + 12345u;
        const qsizetype piece = qsizetype((seed >> 16) % 7); // 0 too: an empty arrival
        const TelnetFilter::Output out = split.feed(QByteArrayView(input).sliced(at, std::min(piece, input.size() - at)));
        data += out.data;
        reply += out.reply;
        at += piece;
    }
    check(data == all.data, "same typed bytes whole or split");
    check(reply == all.reply, "same replies whole or split");

    // What we send comes back to a fresh filter as the same bytes.
    TelnetFilter sender;
    TelnetFilter receiver;
    const QByteArray encoded = sender.encode(input);
    check(encoded.size() == input.size() + input.count('\xff'), "every 255 doubled, nothing else added");
    const QByteArray readBack = receiver.feed(encoded).data;
    if (lineEndsFolded(readBack) != lineEndsFolded(input))
        std::fprintf(stderr, "sent %s\nread back %s\n", input.toHex().constData(), readBack.toHex().constData());
    check(lineEndsFolded(readBack) == lineEndsFolded(input), "encoded bytes read back");

    // After a reset the filter is fresh again.
    whole.reset();
    check(whole.offer() == offer, "reset makes the offer anew");
    return 0;
}
