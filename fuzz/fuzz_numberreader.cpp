// Arbitrary typed numbers through the reading of message browsing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include <QString>

#include "platform/codepage.h"
#include "remote/numberreader.h"

using namespace tolvex;

namespace {

void check(bool condition, const char *what, const QString &input)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s for \"%s\"\n", what, input.toUtf8().toHex().constData());
        std::abort();
    }
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    // Both as the typed bytes (one character each) and as UTF-16 text.
    const QString typed = fromAnsi(QByteArrayView(bytes, qsizetype(size)));
    const QString wide = QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes), qsizetype(size / 2));

    for (const QString &input : {typed, wide}) {
        const qint64 n = readMessageNumber(input);

        QString squeezed;
        for (const QChar c : input)
            if (!isBlank(c))
                squeezed += c;
        check(readMessageNumber(squeezed) == n, "blanks anywhere are passed over", input);

        // A run of up to 15 plain digits reads as exactly that number.
        qsizetype digits = 0;
        while (digits < squeezed.size() && squeezed.at(digits).unicode() >= u'0'
               && squeezed.at(digits).unicode() <= u'9')
            ++digits;
        if (digits > 0 && digits <= 15) {
            const QString head = squeezed.left(digits);
            const QChar next = digits < squeezed.size() ? squeezed.at(digits) : QChar();
            if (next != u'.' && next != u'e' && next != u'E' && next != u'd' && next != u'D')
                check(n == head.toLongLong(), "plain digits read exactly", input);
        }

        // A sign mirrors the value, except at the clamped ends.
        if (!squeezed.isEmpty() && squeezed.front() != u'+' && squeezed.front() != u'-') {
            const qint64 negative = readMessageNumber(u'-' + squeezed);
            if (n != std::numeric_limits<qint64>::max())
                check(negative == -n, "a minus sign mirrors the value", input);
            check(readMessageNumber(u'+' + squeezed) == n, "a plus sign changes nothing", input);
        }
    }
    return 0;
}
