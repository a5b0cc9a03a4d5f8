#pragma once

#include <QString>

class QSoundEffect;

namespace tolvex {

/// The alarm player: plays one wave file on the commands close, open and play.
/// Each command says whether it worked; a failed command changes nothing else.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    /// Set-up: the wave file this player plays.
    virtual void setFile(const QString &path) = 0;
    /// End whatever the player is doing, a sound still playing included.
    virtual bool close() = 0;
    /// Load the configured file afresh; false when it is missing or unreadable.
    virtual bool open() = 0;
    /// Start the loaded sound from its beginning, without waiting for it to end.
    virtual bool play() = 0;
};

/// The player on Qt Multimedia. Without a sound device it stays silent: play() returns at
/// once and nothing waits for a device.
class EffectPlayer : public SoundPlayer
{
public:
    EffectPlayer();
    ~EffectPlayer() override;
    void setFile(const QString &path) override;
    bool close() override;
    bool open() override;
    bool play() override;

private:
    QString file;
    QSoundEffect *effect = nullptr;
};

} // namespace tolvex
