#include "identity.h"

namespace tolvex {

QString loadSettings(AppState &state, const SettingsStore &store)
{
    QString nameError;
    QString passError;
    state.UserName = store.read(SettingsApplication, SettingsSection, NameKey, DefaultName, &nameError);
    state.UserPass = store.read(SettingsApplication, SettingsSection, PassKey, DefaultPass, &passError);
    return nameError.isEmpty() ? passError : nameError;
}

QString saveSettings(const AppState &state, SettingsStore &store)
{
    QString nameError;
    QString passError;
    store.write(SettingsApplication, SettingsSection, NameKey, state.UserName, &nameError);
    store.write(SettingsApplication, SettingsSection, PassKey, state.UserPass, &passError);
    return nameError.isEmpty() ? passError : nameError;
}

void applyDialogResult(QString &field, const QString &result)
{
    if (!result.isEmpty())
        field = result;
}

} // namespace tolvex
