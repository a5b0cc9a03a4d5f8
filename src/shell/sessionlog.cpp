#include "sessionlog.h"

#include <sys/stat.h>

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>

#include "platform/clock.h"
#include "platform/codepage.h"
#include "shell/identity.h"
#include "state/listentry.h"

namespace tolvex {

namespace {

constexpr auto OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

void addLine(QByteArray &out, const QString &line)
{
    out += toAnsi(line);
    out += "\r\n";
}

// Writes the whole log to a temporary file beside `path` and puts it in place only when
// every byte is on disk, so a failed write leaves the last good log untouched.
bool writeWhole(const QString &path, const QByteArray &bytes)
{
    // Owner-only from the start: the log holds the user's pages. The temporary file takes
    // the mode of the log it replaces, so an earlier log is made owner-only first.
    if (QFile::exists(path))
        QFile::setPermissions(path, OwnerOnly);
    QSaveFile file(path);
    const mode_t previousMask = ::umask(077); // a new temporary file is created owner-only
    const bool opened = file.open(QIODevice::WriteOnly);
    ::umask(previousMask);
    if (!opened)
        return false;
    // An unfinished temporary file is removed when `file` goes out of scope without commit().
    if (!file.setPermissions(OwnerOnly) || file.write(bytes) != bytes.size())
        return false;
    return file.commit() && QFile::setPermissions(path, OwnerOnly);
}

} // namespace

QByteArray sessionLogText(const AppState &state, const QDateTime &now, const QLocale &locale)
{
    QByteArray out;
    addLine(out, QStringLiteral("Tolvex Log Session for ") + state.UserName);
    addLine(out, QStringLiteral("Created at ") + timeThenDate(now, locale));
    addLine(out, QString());
    const qsizetype lines = state.store.lineCount();
    for (qsizetype i = 0; i < lines; ++i) {
        const QString text = state.store.text(i);
        addLine(out, state.store.line(i));
        addLine(out, text);
        addLine(out, QString());
    }
    return out;
}

QString fallbackLogDirectory()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Tolvex"));
}

QString writeSessionLog(const AppState &state, const QString &programDirectory)
{
    const QByteArray bytes = sessionLogText(state, currentDateTime());

    const QString beside = QDir(programDirectory).filePath(SessionLogName);
    if (!programDirectory.isEmpty() && writeWhole(beside, bytes))
        return beside;

    const QString dataDirectory = fallbackLogDirectory();
    if (!QDir().mkpath(dataDirectory))
        return {};
    const QString inData = QDir(dataDirectory).filePath(SessionLogName);
    if (writeWhole(inData, bytes))
        return inData;
    return {};
}

void off(AppState &state, SettingsStore &settings, const QString &programDirectory)
{
    // Both steps go on past a failure and report nothing: the program ends right after.
    writeSessionLog(state, programDirectory);
    saveSettings(state, settings);
}

} // namespace tolvex
