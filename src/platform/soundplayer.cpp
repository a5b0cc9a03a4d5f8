#include "soundplayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace tolvex {

EffectPlayer::EffectPlayer() = default;

EffectPlayer::~EffectPlayer()
{
    delete effect;
}

void EffectPlayer::setFile(const QString &path)
{
    file = path;
}

bool EffectPlayer::close()
{
    if (!effect)
        return false;
    effect->stop();
    delete effect;
    effect = nullptr;
    return true;
}

bool EffectPlayer::open()
{
    const QFileInfo info(file);
    if (file.isEmpty() || !info.isFile() || !info.isReadable())
        return false;
    // A new effect reads the file again, so a changed or replaced alarm.wav is heard at
    // the next alert; the effect loads it in the background.
    delete effect;
    effect = new QSoundEffect;
    effect->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    return effect->status() != QSoundEffect::Error;
}

bool EffectPlayer::play()
{
    if (!effect || effect->status() == QSoundEffect::Error)
        return false;
    effect->play();
    return true;
}

} // namespace tolvex
