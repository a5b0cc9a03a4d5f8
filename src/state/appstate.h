#pragma once

#include <array>

#include <QString>

#include "state/messagestore.h"

namespace tolvex {

/// The states of the one telnet session.
enum SessionStates : qint16 {
    Idle = 0,
    Menu = 1,
    NameEntry = 2,
    MessageEntry = 3,
    PasscodeEntry = 4,
    Browsing = 5,
};

/// Width of every line of `TelnetBanner`.
inline constexpr int BannerWidth = 70;

/// One fixed-width line of the telnet banner: text stored into it is padded with blanks
/// to 70 characters (or cut at 70), and reading it always gives all 70.
class BannerLine
{
public:
    BannerLine &operator=(const QString &text)
    {
        value = text.left(BannerWidth).leftJustified(BannerWidth, u' ');
        return *this;
    }
    const QString &text() const { return value; }

private:
    QString value = QString(BannerWidth, u' ');
};

/// Everything that more than one part of the program reads or writes, in one record that
/// lives for the whole run. The handlers read and write these fields directly.
struct AppState
{
    QString UserName;
    QString UserPass;
    QString CRLF;
    std::array<BannerLine, 10> TelnetBanner;
    qint16 SessionState = Idle;

    // The telnet session's own texts.
    QString CallerName;
    QString MessageDraft;
    QString TypedPasscode;
    QString NumberBuffer;

    MessageStore store;
};

} // namespace tolvex
