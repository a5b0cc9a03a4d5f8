#include "listentry.h"

namespace tolvex {

QString longTimeFormatWithoutZone(const QString &format)
{
    // Drop every unquoted 't' (the time zone) with the blanks around it, then tidy the ends.
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't') {
            while (!out.isEmpty() && out.back() == u' ')
                out.chop(1);
            continue;
        }
        out.append(c);
    }
    return out.trimmed();
}

namespace {

QString shortDate(const QDateTime &when, const QLocale &locale)
{
    return locale.toString(when.date(), QLocale::ShortFormat);
}

QString longTime(const QDateTime &when, const QLocale &locale)
{
    return locale.toString(when.time(), longTimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
}

} // namespace

QString listEntry(const QDateTime &when, const QString &sender, const QString &peer, const QLocale &locale)
{
    return shortDate(when, locale) + u' ' + longTime(when, locale) + QStringLiteral(" from ") + sender + QStringLiteral(" (") + peer + u')';
}

QString timeThenDate(const QDateTime &when, const QLocale &locale)
{
    return longTime(when, locale) + u' ' + shortDate(when, locale);
}

} // namespace tolvex
