#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include "platform/settingsstore.h"
#include "state/appstate.h"

namespace tolvex {

/// Name of the session log file.
inline const QString SessionLogName = QStringLiteral("tolvex.log");

/// The bytes of the session log: "Tolvex Log Session for " + UserName, "Created at " + long
/// time + " " + short date (of `now`), an empty line, then for every line of `List1` in
/// list order its line, its text as stored and an empty line. Every line ends in CR LF;
/// one byte per character in Windows-1252. A text with line breaks is written as it is.
QByteArray sessionLogText(const AppState &state, const QDateTime &now, const QLocale &locale = QLocale());

/// The log's place when the program's directory cannot be written: the user's data
/// directory for the application "Tolvex".
QString fallbackLogDirectory();

/// Write the session log (time read once from the clock) as "tolvex.log" in
/// `programDirectory`, or, when that cannot be written, in fallbackLogDirectory().
/// An earlier log is replaced only by a complete new one; the file is readable by its
/// owner only. Returns the path written, or an empty text when neither place could be written.
QString writeSessionLog(const AppState &state, const QString &programDirectory);

/// "&Off" up to the end of the program: write the session log, then save the name and
/// passcode. Silent: a step that fails is skipped and the next one runs. The caller ends
/// the program at once afterwards.
void off(AppState &state, SettingsStore &settings, const QString &programDirectory);

} // namespace tolvex
