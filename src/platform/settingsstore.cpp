#include "settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace tolvex {

namespace {

constexpr auto OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QString statusText(QSettings::Status status, const QString &file)
{
    switch (status) {
    case QSettings::NoError:
        return {};
    case QSettings::AccessError:
        return QStringLiteral("The settings file %1 cannot be read or written. Check that it and its folder belong to you.").arg(file);
    case QSettings::FormatError:
        return QStringLiteral("The settings file %1 is damaged. Remove it; the defaults will be used.").arg(file);
    }
    return {};
}

} // namespace

SettingsStore::SettingsStore() = default;

SettingsStore::SettingsStore(const QString &file)
    : fixedFile(file)
{
}

QString SettingsStore::fileFor(const QString &application) const
{
    if (!fixedFile.isEmpty())
        return fixedFile;
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(base).filePath(application + u'/' + application + QStringLiteral(".ini"));
}

QString SettingsStore::read(const QString &application, const QString &section, const QString &key,
                            const QString &fallback, QString *error) const
{
    const QString file = fileFor(application);
    QSettings settings(file, QSettings::IniFormat);
    const QString path = section + u'/' + key;
    const QString value = settings.contains(path) ? settings.value(path).toString() : fallback;
    if (error)
        *error = statusText(settings.status(), file);
    return value;
}

bool SettingsStore::write(const QString &application, const QString &section, const QString &key,
                          const QString &text, QString *error)
{
    const QString file = fileFor(application);
    QDir().mkpath(QFileInfo(file).absolutePath());
    // Made owner-only before the first value goes in; the rewrite keeps the mode.
    if (!QFileInfo::exists(file)) {
        QFile create(file);
        if (create.open(QIODevice::WriteOnly))
            create.close();
    }
    QFile::setPermissions(file, OwnerOnly);
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(section + u'/' + key, text);
    settings.sync();
    QFile::setPermissions(file, OwnerOnly);
    const QString problem = statusText(settings.status(), file);
    if (error)
        *error = problem;
    return problem.isEmpty();
}

} // namespace tolvex
