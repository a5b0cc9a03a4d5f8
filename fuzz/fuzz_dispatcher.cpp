// The session dispatcher fed arbitrary chunk sequences from every state, with a link that
// only records what the dispatcher asks of it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QColor>
#include <QString>

#include "paging/alert.h"
#include "platform/codepage.h"
#include "platform/soundplayer.h"
#include "remote/banner.h"
#include "remote/dispatcher.h"
#include "state/appstate.h"

#include "fuzzcheck.h"
#include "testsupport.h"

using namespace tolvex;
using tolvex::fuzzing::check;
using namespace tolvex::testing;

namespace {

struct RecordingLink : SessionLink
{
    qsizetype sentBytes = 0;
    bool closed = false;
    bool pausing = false;
    void send(const QString &text) override
    {
        check(!closed, "nothing is sent after the connection is closed");
        sentBytes += text.size();
    }
    void close() override { closed = true; }
    QString remoteAddress() const override { return QStringLiteral("10.0.0.5"); }
    QString remoteHost() const override { return QStringLiteral("10.0.0.5"); }
    void pauseBeforeRefusal() override { pausing = true; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    if (size < 2)
        return 0;
    static QuietWindow window;
    static QuietPlayer player;
    Alert alert(window, player);

    AppState state;
    prepareForCallers(state);
    // A few pages to browse: first byte's low bits.
    const int pages = bytes[0] & 7;
    for (int i = 0; i < pages; ++i) {
        state.store.storeText(QStringLiteral("text %1").arg(i));
        state.store.storeHost(QStringLiteral("10.0.0.%1").arg(i));
        state.store.appendLine(QStringLiteral("line %1").arg(i));
        state.store.raiseCount();
    }

    RecordingLink link;
    SessionDispatcher dispatcher(state, link, alert);
    dispatcher.greet();
    check(state.SessionState == Menu, "greeting leads to the menu");
    // The state to start from, any 16-bit value (most often one of the six).
    const std::uint8_t start = bytes[1];
    state.SessionState = start < 192 ? qint16(start % 6) : qint16(std::int8_t(start) * 257);
    const bool knownStart = start < 192;

    // The rest: chunks, each a length byte then that many bytes (the last one takes what is left).
    // A length byte of 0 stands for the refusal pause running out.
    std::size_t at = 2;
    while (at < size && !link.closed) {
        const std::size_t length = bytes[at++];
        if (length == 0) {
            if (link.pausing) {
                link.pausing = false;
                dispatcher.refusePasscode();
                check(link.closed, "a refusal closes the connection");
            }
            continue;
        }
        const std::size_t take = std::min(length, size - at);
        const qsizetype before = state.store.MessageCount();
        const QString draft = state.MessageDraft;
        const qint16 was = state.SessionState;
        dispatcher.handleChunk(fromAnsi(QByteArrayView(bytes + at, qsizetype(take))));
        at += take;

        check(state.CallerName.size() <= CallerNameLimit, "name bounded");
        check(state.MessageDraft.size() <= MessageDraftLimit, "draft bounded");
        check(state.TypedPasscode.size() <= TypedPasscodeLimit, "passcode bounded");
        check(state.NumberBuffer.size() <= NumberBufferLimit, "number bounded");
        check(state.store.lineCount() == state.store.MessageCount(), "lines and count agree");
        if (knownStart)
            check(state.SessionState >= Idle && state.SessionState <= Browsing, "a known state");
        if (state.store.MessageCount() != before) {
            check(state.store.MessageCount() == before + 1, "one page per save");
            check(was == MessageEntry, "pages are saved from page entry only");
            check(state.store.text(before) == draft, "the page saved is the draft");
            check(link.closed && state.SessionState == Idle, "a saved page ends the session");
        }
        if (was == Idle || !knownStart)
            check(state.SessionState == was, "a state no handler owns drops the chunk");
    }
    return 0;
}
