#pragma once

#include <QByteArray>
#include <QString>

namespace tolvex {

/// Text to wire bytes, one byte per character in Windows-1252. The five bytes that
/// Windows-1252 leaves undefined (81, 8D, 8F, 90, 9D) stand for the control characters of
/// the same value, so every byte value survives fromAnsi() then toAnsi() unchanged.
/// A character that has no byte goes out as "?".
QByteArray toAnsi(QStringView text);

/// Wire bytes to text: each byte becomes one character (see toAnsi()).
QString fromAnsi(QByteArrayView bytes);

} // namespace tolvex
