#pragma once

#include <QString>

#include "platform/settingsstore.h"
#include "state/appstate.h"

namespace tolvex {

inline const QString SettingsApplication = QStringLiteral("Tolvex");
inline const QString SettingsSection = QStringLiteral("Settings");
inline const QString NameKey = QStringLiteral("Username");
inline const QString PassKey = QStringLiteral("Userpass");
inline const QString DefaultName = QStringLiteral("Tolvex User");
inline const QString DefaultPass = QStringLiteral("wobnel");
inline const QString DialogTitle = QStringLiteral("Tolvex v2.00");
inline const QString NamePrompt = QStringLiteral("Please enter your name as it will appear in messages:");
inline const QString PassPrompt = QStringLiteral("Please enter your chosen password for remote logins:");

/// Load `UserName`, then `UserPass`, with their defaults where no entry exists.
/// Returns what went wrong, or an empty text.
QString loadSettings(AppState &state, const SettingsStore &store);

/// Write `UserName` under "Username", then `UserPass` under "Userpass". Both writes are
/// tried; returns what went wrong, or an empty text.
QString saveSettings(const AppState &state, SettingsStore &store);

/// The name and passcode dialogs' rule: a non-empty result replaces the field exactly as
/// typed; an empty one (Cancel, close, or a cleared field) leaves it as it was.
void applyDialogResult(QString &field, const QString &result);

} // namespace tolvex
