#include "alert.h"

#include <QDir>
#include <QFileInfo>

#include "platform/soundplayer.h"

namespace tolvex {

Alert::Alert(AlertWindow &window, SoundPlayer &player)
    : window(window)
    , player(player)
{
}

void Alert::setupPlayer(const QString &programDirectory)
{
    // alarm.wav beside the program wins; an installed copy finds it in share/tolvex.
    const QDir dir(programDirectory);
    const QString beside = dir.filePath(QStringLiteral("alarm.wav"));
    const QString installed = QDir::cleanPath(dir.filePath(QStringLiteral("../share/tolvex/alarm.wav")));
    player.setFile(!QFileInfo::exists(beside) && QFileInfo::exists(installed) ? installed : beside);
}

void Alert::stepA() { window.setIndicatorColor(IndicatorAlerted); }
void Alert::stepB() { window.setTitle(TitleAlerted); }
void Alert::stepC() { player.close(); }
void Alert::stepD() { player.open(); }
void Alert::stepE() { player.play(); }
void Alert::stepF() { window.beep(); }
void Alert::stepG() { window.drawAttention(); }

void Alert::restartSound()
{
    stepC();
    stepD();
    stepE();
}

void Alert::reset()
{
    window.setIndicatorColor(IndicatorQuiet);
    window.setTitle(TitleQuiet);
}

} // namespace tolvex
