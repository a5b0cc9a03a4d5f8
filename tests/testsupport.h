#pragma once

#include <QColor>
#include <QString>

#include "paging/alert.h"
#include "platform/soundplayer.h"
#include "remote/banner.h"
#include "state/appstate.h"

namespace tolvex::testing {

/// An alert window that shows nothing.
class QuietWindow : public AlertWindow
{
public:
    void setIndicatorColor(const QColor &) override {}
    void setTitle(const QString &) override {}
    void beep() override {}
    void drawAttention() override {}
};

/// The state as start-up leaves it for telnet callers: the banner, CR LF line ends, and the
/// user Ann with the passcode "wobnel".
inline void prepareForCallers(AppState &state)
{
    fillTelnetBanner(state);
    state.CRLF = QStringLiteral("\r\n");
    state.UserName = QStringLiteral("Ann");
    state.UserPass = QStringLiteral("wobnel");
}

/// A player that plays nothing; it remembers the file it was set up with.
class QuietPlayer : public SoundPlayer
{
public:
    void setFile(const QString &path) override { file = path; }
    bool close() override { return true; }
    bool open() override { return true; }
    bool play() override { return true; }
    QString file;
};

} // namespace tolvex::testing
