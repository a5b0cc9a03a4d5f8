#pragma once

#include <QStringView>

namespace tolvex {

/// The message number a browsing caller typed, read from `NumberBuffer`:
/// blanks, tabs and line feeds anywhere are passed over; from the start of what remains an
/// optional sign, decimal digits with at most one decimal point and an optional exponent
/// (E or D in either case, an optional sign, digits) are read, stopping at the first
/// character that does not fit; the value is rounded to the nearest whole number, an exact
/// half to the even neighbour. Nothing readable reads 0.
/// Only decimal is read: "&H" and "&O" prefixes are not number notations here, so "&H1F"
/// reads 0 (the list shows decimal numbers, and that is what a caller types back).
/// Values beyond the range of qint64 are clamped to its ends.
qint64 readMessageNumber(QStringView buffer);

} // namespace tolvex
