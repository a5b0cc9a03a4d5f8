#pragma once

#include <QColor>
#include <QString>

namespace tolvex {

class SoundPlayer;

inline const QColor IndicatorQuiet(64, 0, 0);
inline const QColor IndicatorAlerted(255, 0, 0);
inline const QString TitleQuiet = QStringLiteral("Tolvex - The Internet Pager");
inline const QString TitleAlerted = QStringLiteral("New Messsages [Tolvex]");

/// What the new-message alert changes on the main window.
class AlertWindow
{
public:
    virtual ~AlertWindow() = default;
    /// Background colour of the indicator `Picture1`.
    virtual void setIndicatorColor(const QColor &color) = 0;
    /// The main window's title.
    virtual void setTitle(const QString &title) = 0;
    /// The system beep.
    virtual void beep() = 0;
    /// Ask the desktop to draw the user's attention to the main window.
    virtual void drawAttention() = 0;
};

/// The new-message alert, as separate steps A to G that each arrival path performs at its
/// own places, and the reset performed by a double-click on the list.
class Alert
{
public:
    Alert(AlertWindow &window, SoundPlayer &player);

    /// Set the alarm player up to play alarm.wav from the program's directory, or else from
    /// ../share/tolvex beside it (an installed copy); when neither exists the alarm is silent.
    void setupPlayer(const QString &programDirectory);

    void stepA(); ///< indicator bright red
    void stepB(); ///< title "New Messsages [Tolvex]"
    void stepC(); ///< player: close (ends a sound still playing)
    void stepD(); ///< player: open (loads alarm.wav again)
    void stepE(); ///< player: play from the beginning
    void stepF(); ///< system beep
    void stepG(); ///< draw attention to the main window

    /// Steps C, D and E: restart the alarm from its beginning.
    void restartSound();

    /// Indicator dark red and the normal title; a sound still playing goes on.
    void reset();

private:
    AlertWindow &window;
    SoundPlayer &player;
};

} // namespace tolvex
