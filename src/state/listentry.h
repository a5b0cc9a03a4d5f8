#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace tolvex {

/// The locale's long time format without its time-zone part ("h:mm:ss AP t" becomes
/// "h:mm:ss AP"): the list shows hours, minutes, seconds and AM/PM where the locale has one.
QString longTimeFormatWithoutZone(const QString &format);

/// The one format of a line of `List1`: short date, " ", long time, " from ", the sender's
/// name, " (", the peer's address, ")". Under en_US: "3/2/97 2:05:09 PM from Ann (10.0.0.5)".
QString listEntry(const QDateTime &when, const QString &sender, const QString &peer,
                  const QLocale &locale = QLocale());

/// The log header's time and date: long time, one blank, short date.
QString timeThenDate(const QDateTime &when, const QLocale &locale = QLocale());

} // namespace tolvex
