#pragma once

#include <QString>

#include "state/appstate.h"

namespace tolvex {

class Alert;

/// Largest `CallerName` kept, in characters.
inline constexpr qsizetype CallerNameLimit = 1024;
/// Largest `MessageDraft` kept, in characters (64 KiB of typed page).
inline constexpr qsizetype MessageDraftLimit = 64 * 1024;
/// Largest `TypedPasscode` kept, in characters.
inline constexpr qsizetype TypedPasscodeLimit = 1024;
/// Largest `NumberBuffer` kept, in characters.
inline constexpr qsizetype NumberBufferLimit = 1024;

/// What the session dispatcher does to the world beyond the state record, in the order it
/// asks for it.
class SessionLink
{
public:
    virtual ~SessionLink() = default;
    /// Send text to the caller, one byte per character, after everything sent before.
    virtual void send(const QString &text) = 0;
    /// End the connection; what was sent before still goes out.
    virtual void close() = 0;
    /// The caller's numeric address.
    virtual QString remoteAddress() const = 0;
    /// The caller, in a form that a page's remote host accepts.
    virtual QString remoteHost() const = 0;
    /// A wrong passcode was given: after a pause of about two seconds, without blocking,
    /// call SessionDispatcher::refusePasscode().
    virtual void pauseBeforeRefusal() = 0;
};

/// The telnet session as a state machine over `SessionState` and the session texts of the
/// state record, with no socket of its own: each chunk of typed characters goes to
/// handleChunk(), which answers through the link and stores pages in the message store.
/// A chunk is looked at whole ("1", "2", "\", "q") or by its first character (Enter 13,
/// backspace 8; in page entry also DEL 127); it is never split into lines.
///
/// Bounds: `CallerName`, `MessageDraft`, `TypedPasscode` and `NumberBuffer` keep at most
/// the limits above; typed text past a bound is neither kept nor echoed (no asterisk for a
/// passcode chunk of which nothing is kept) and the session goes on.
class SessionDispatcher
{
public:
    SessionDispatcher(AppState &state, SessionLink &link, Alert &alert);

    /// The greeting after the caller is accepted: the ten banner lines, two line breaks,
    /// the title, the notice and the menu; then `SessionState` is `Menu`.
    void greet();

    /// Act on one chunk according to `SessionState`; an empty chunk changes nothing.
    void handleChunk(const QString &chunk);

    /// The answer to a wrong passcode, after its pause: the refusal line, then the
    /// connection closed. `SessionState` has been `Idle` since the passcode was checked.
    void refusePasscode();

    /// The notice line of the greeting.
    static QString noticeLine();
    /// The line sent to a caller who arrives while another is connected.
    static QString busyLine();

private:
    void onMenu(const QString &chunk);
    void onNameEntry(const QString &chunk);
    void onMessageEntry(const QString &chunk);
    void onPasscodeEntry(const QString &chunk);
    void onBrowsing(const QString &chunk);
    void savePage();
    void sendMessageList();
    void showMessage();

    AppState &state;
    SessionLink &link;
    Alert &alert;
};

} // namespace tolvex
