#include "dispatcher.h"

#include "paging/alert.h"
#include "platform/clock.h"
#include "remote/numberreader.h"
#include "state/listentry.h"

namespace tolvex {

namespace {

constexpr char16_t Enter = 13;
constexpr char16_t Backspace = 8;
constexpr char16_t Delete = 127;

// The store keeps no text for a number above this one unless a page was stored under it.
constexpr qint64 LastSlot = 1000;

bool beginsWith(const QString &chunk, char16_t c)
{
    return !chunk.isEmpty() && chunk.front() == QChar(c);
}

// Append as much of `chunk` as fits under `limit`; gives the part that was kept.
QString appendBounded(QString &target, const QString &chunk, qsizetype limit)
{
    const QString kept = chunk.left(std::max<qsizetype>(0, limit - target.size()));
    target += kept;
    return kept;
}

} // namespace

SessionDispatcher::SessionDispatcher(AppState &state, SessionLink &link, Alert &alert)
    : state(state)
    , link(link)
    , alert(alert)
{
}

QString SessionDispatcher::noticeLine()
{
    return QStringLiteral("Copyright (c) 1997 Lanternfold Softworks. All rights reserved.");
}

QString SessionDispatcher::busyLine()
{
    return QStringLiteral("This pager is busy with another caller. Please try again later.\r\n");
}

void SessionDispatcher::greet()
{
    const QString &crlf = state.CRLF;
    for (const BannerLine &line : state.TelnetBanner)
        link.send(line.text() + crlf);
    link.send(crlf + crlf);
    link.send(QStringLiteral("Tolvex Remote Access v2.00") + crlf + noticeLine() + crlf + crlf
              + QStringLiteral(" [1] Send a message to this pager ") + crlf
              + QStringLiteral(" [2] Check messages on this pager (requires password)") + crlf);
    state.SessionState = Menu;
}

void SessionDispatcher::handleChunk(const QString &chunk)
{
    if (chunk.isEmpty())
        return;
    switch (state.SessionState) {
    case Menu:
        onMenu(chunk);
        break;
    case NameEntry:
        onNameEntry(chunk);
        break;
    case MessageEntry:
        onMessageEntry(chunk);
        break;
    case PasscodeEntry:
        onPasscodeEntry(chunk);
        break;
    case Browsing:
        onBrowsing(chunk);
        break;
    default:
        // Idle, or a value no handler owns: the chunk is dropped.
        break;
    }
}

void SessionDispatcher::onMenu(const QString &chunk)
{
    const QString &crlf = state.CRLF;
    if (chunk == u"1") {
        link.send(crlf + crlf + crlf + QStringLiteral("Please enter your name: "));
        state.SessionState = NameEntry;
        state.CallerName.clear();
    } else if (chunk == u"2") {
        link.send(crlf + crlf + crlf + QStringLiteral("Please enter your passcode: "));
        state.TypedPasscode.clear();
        state.SessionState = PasscodeEntry;
    } else {
        link.send(QStringLiteral("Invalid choice. Please choose either 1 or 2.") + crlf);
    }
}

void SessionDispatcher::onNameEntry(const QString &chunk)
{
    const QString &crlf = state.CRLF;
    if (!beginsWith(chunk, Enter)) {
        const QString kept = appendBounded(state.CallerName, chunk, CallerNameLimit);
        if (!kept.isEmpty())
            link.send(kept);
        return;
    }
    link.send(chunk);
    link.send(crlf + QStringLiteral("Welcome, ") + state.CallerName + QStringLiteral(", to ") + state.UserName
              + QStringLiteral("'s Pager.") + crlf);
    link.send(QStringLiteral("Please type your message. A '\\' saves and quits.") + crlf + crlf);
    state.MessageDraft.clear();
    state.SessionState = MessageEntry;
}

void SessionDispatcher::onMessageEntry(const QString &chunk)
{
    if (chunk == u"\\") {
        link.send(chunk);
        savePage();
        return;
    }
    if (beginsWith(chunk, Backspace) || beginsWith(chunk, Delete)) {
        // Today's terminals send DEL for the Backspace key: it steps the cursor back too.
        QString echo = chunk;
        echo[0] = QChar(Backspace);
        link.send(echo);
        if (!state.MessageDraft.isEmpty())
            state.MessageDraft.chop(1);
        return;
    }
    const QString kept = appendBounded(state.MessageDraft, chunk, MessageDraftLimit);
    if (!kept.isEmpty())
        link.send(kept);
}

void SessionDispatcher::savePage()
{
    const QString &crlf = state.CRLF;
    MessageStore &store = state.store;
    link.send(crlf + crlf);
    link.send(QStringLiteral("Saving message.."));
    store.storeText(state.MessageDraft);
    state.MessageDraft.clear();
    const QString entry = listEntry(currentDateTime(), state.CallerName, link.remoteAddress());
    store.appendLine(entry);
    alert.stepA();
    store.storeHost(link.remoteHost());
    store.raiseCount();
    link.send(QStringLiteral(" done! Thankyou for using Tolvex! Now logging out.."));
    alert.stepB();
    alert.restartSound();
    link.close();
    state.SessionState = Idle;
}

void SessionDispatcher::onPasscodeEntry(const QString &chunk)
{
    const QString &crlf = state.CRLF;
    if (!beginsWith(chunk, Enter)) {
        if (!appendBounded(state.TypedPasscode, chunk, TypedPasscodeLimit).isEmpty())
            link.send(QStringLiteral("*"));
        return;
    }
    if (state.TypedPasscode.toUpper() == state.UserPass.toUpper()) {
        link.send(crlf + QStringLiteral(" *** Access Granted ***"));
        link.send(crlf + crlf);
        sendMessageList();
        return;
    }
    // No answer at machine speed: input is dropped while the refusal waits.
    state.SessionState = Idle;
    link.pauseBeforeRefusal();
}

void SessionDispatcher::refusePasscode()
{
    const QString &crlf = state.CRLF;
    link.send(crlf + QStringLiteral("Wrong password, exiting..") + crlf + crlf);
    link.close();
    state.SessionState = Idle;
}

void SessionDispatcher::sendMessageList()
{
    const QString &crlf = state.CRLF;
    const MessageStore &store = state.store;
    QString list = QStringLiteral("List of messages") + crlf;
    const qsizetype lines = store.lineCount();
    for (qsizetype i = 0; i < lines; ++i)
        list += QStringLiteral("    ") + QString::number(i) + QStringLiteral("  ") + store.line(i) + crlf;
    link.send(list);
    link.send(crlf + QStringLiteral("Enter a message number or key 'q' to quit: "));
    state.NumberBuffer.clear();
    state.SessionState = Browsing;
}

void SessionDispatcher::onBrowsing(const QString &chunk)
{
    if (chunk == u"q") {
        link.send(chunk);
        link.send(QStringLiteral("Requested exit by user.. Bye!"));
        link.close();
        return;
    }
    if (!beginsWith(chunk, Enter)) {
        const QString kept = appendBounded(state.NumberBuffer, chunk, NumberBufferLimit);
        if (!kept.isEmpty())
            link.send(kept);
        return;
    }
    link.send(chunk);
    showMessage();
}

void SessionDispatcher::showMessage()
{
    const QString &crlf = state.CRLF;
    const MessageStore &store = state.store;
    const qint64 n = readMessageNumber(state.NumberBuffer);
    // A number that names no line shows an empty entry.
    link.send(crlf + QStringLiteral(" * ") + store.line(qsizetype(n)) + crlf + crlf);
    // Every stored page has its text; the slots up to 1000 read empty when unused.
    if (n >= 0 && (n <= LastSlot || n < store.MessageCount()))
        link.send(store.text(qsizetype(n)) + crlf + crlf);
    sendMessageList();
}

} // namespace tolvex
