#include "numberreader.h"

#include <locale.h>
#include <stdlib.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <string>

namespace tolvex {

namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

qint64 readMessageNumber(QStringView buffer)
{
    // What remains once blanks, tabs and line feeds are passed over.
    std::u16string rest;
    rest.reserve(std::size_t(buffer.size()));
    for (const QChar c : buffer) {
        const char16_t u = c.unicode();
        if (u != u' ' && u != u'\t' && u != u'\n')
            rest.push_back(u);
    }

    // The readable start, copied as plain ASCII (read in the C locale, whatever the workstation's).
    std::string number;
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { return k < rest.size() ? rest[k] : char16_t(0); };
    if (at(i) == u'+' || at(i) == u'-')
        number.push_back(char(rest[i++]));
    bool point = false;
    bool digits = false;
    for (;; ++i) {
        const char16_t c = at(i);
        if (isDigit(c)) {
            number.push_back(char(c));
            digits = true;
        } else if (c == u'.' && !point) {
            number.push_back('.');
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    const char16_t e = at(i);
    if (e == u'E' || e == u'e' || e == u'D' || e == u'd') {
        std::size_t k = i + 1;
        std::string exponent = "e";
        if (at(k) == u'+' || at(k) == u'-')
            exponent.push_back(char(rest[k++]));
        bool exponentDigits = false;
        while (isDigit(at(k))) {
            exponent.push_back(char(rest[k++]));
            exponentDigits = true;
        }
        if (exponentDigits)
            number += exponent;
    }

    // strtod in the C locale: a decimal point whatever the workstation uses, and an infinity
    // for a value too large, which the clamp below turns into the ends of the range.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const double value = strtod_l(number.c_str(), nullptr, cLocale);
    if (std::isnan(value))
        return 0;
    // Round half to even, whatever rounding mode the process runs in.
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(mode);
    constexpr double top = 9223372036854775807.0; // 2^63, the first value beyond qint64
    if (rounded >= top)
        return std::numeric_limits<qint64>::max();
    if (rounded <= -top)
        return std::numeric_limits<qint64>::min();
    return qint64(rounded);
}

} // namespace tolvex
