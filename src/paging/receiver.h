#pragma once

#include <QString>

namespace tolvex {

struct AppState;
class UdpControl;
class Alert;

/// The two halves of a received page.
struct PageParts
{
    QString sender;
    QString text;
};

/// Split a received datagram at its first ESC (27): the sender name before it, the text
/// after it. Without an ESC the name is empty and the text is the whole datagram; later
/// ESCs stay in the text.
PageParts splitPage(const QString &received);

/// Handler of `UDP1`'s data arrival: reads the waiting datagram, files it in the message
/// store under the next index, selects its line and raises the full alert, in the
/// receiver's fixed order. Nothing here reports a failure; every datagram becomes a page.
void receivePage(AppState &state, UdpControl &UDP1, Alert &alert);

} // namespace tolvex
