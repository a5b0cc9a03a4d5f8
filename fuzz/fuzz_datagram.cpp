// Arbitrary datagrams through the receiver's split and the list entry it builds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

#include "paging/receiver.h"
#include "platform/codepage.h"
#include "state/listentry.h"

#include "fuzzcheck.h"

using namespace tolvex;
using tolvex::fuzzing::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    // First byte: locale and peer form; the rest is the datagram as the socket reads it.
    static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                      QLocale(QLocale::German, QLocale::Germany),
                                      QLocale(QLocale::Japanese, QLocale::Japan)};
    static const QString peers[] = {QStringLiteral("10.0.0.5"), QStringLiteral("::1"),
                                    QStringLiteral("fe80::1%eth0"), QString()};
    const QLocale &locale = locales[bytes[0] % 4];
    const QString &peer = peers[(bytes[0] >> 2) % 4];
    const QString received = fromAnsi(QByteArrayView(bytes + 1, qsizetype(size - 1)));

    const PageParts page = splitPage(received);
    const qsizetype esc = received.indexOf(QChar(27));
    if (esc < 0) {
        check(page.sender.isEmpty(), "no ESC: empty sender");
        check(page.text == received, "no ESC: whole datagram is the text");
    } else {
        check(!page.sender.contains(QChar(27)), "sender holds no ESC");
        check(page.sender + QChar(27) + page.text == received, "sender, ESC and text rebuild the datagram");
    }
    check(toAnsi(page.sender + page.text).size() == received.size() - (esc < 0 ? 0 : 1),
          "every byte survives the split");

    const QDateTime when(QDate(1997, 3, 2), QTime(14, 5, 9), QTimeZone::utc());
    const QString entry = listEntry(when, page.sender, peer, locale);
    const QString tail = QStringLiteral(" from ") + page.sender + QStringLiteral(" (") + peer + u')';
    check(entry.endsWith(tail), "list entry ends in sender and peer");
    check(entry.size() > tail.size(), "list entry starts with date and time");
    return 0;
}
