#include "alert.h"

#include <QDir>

#include "platform/soundplayer.h"

namespace tolvex {

Alert::Alert(AlertWindow &window, SoundPlayer &player)
    : window(window)
    , player(player)
{
}

void Alert::setupPlayer(const QString &programDirectory)
{
    player.setFile(QDir(programDirectory).filePath(QStringLiteral("alarm.wav")));
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
