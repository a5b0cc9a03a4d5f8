#pragma once

#include <QString>

namespace tolvex {

/// The per-user settings store: text values under an application, a section and a key,
/// kept between runs. The file is readable by its owner only: it holds the passcode.
class SettingsStore
{
public:
    /// The user's store: an INI file in the user's configuration directory.
    SettingsStore();
    /// A store in the given file (tests).
    explicit SettingsStore(const QString &file);

    /// The stored text, or `fallback` when the entry does not exist. An entry stored
    /// empty reads as empty. On a store that cannot be read, `error` says why.
    QString read(const QString &application, const QString &section, const QString &key,
                 const QString &fallback, QString *error = nullptr) const;
    /// Create or replace the entry. False, with `error` set, when it could not be written.
    bool write(const QString &application, const QString &section, const QString &key,
               const QString &text, QString *error = nullptr);

    /// The file of one application's settings.
    QString fileFor(const QString &application) const;

private:
    QString fixedFile;
};

} // namespace tolvex
