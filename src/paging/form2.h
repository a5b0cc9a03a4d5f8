#pragma once

#include <QWidget>

#include "layouts/form2layout.h"

namespace tolvex {

struct AppState;
class UdpControl;

/// The page text as it travels: every line break of the text box becomes CR LF.
QString pageTextFromBox(const QString &boxText);
/// A page text as the text box shows it: CR LF pairs become the box's line breaks.
QString boxTextFromPage(const QString &pageText);

/// The Send Message dialog (`Form2`): a host, a page text and "&OK", which sends the page
/// through `UDP1`, adds the host to the history and hides the dialog. The dialog is
/// modeless and keeps its host, text and history between openings.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    /// An empty dialog, not yet shown, that sends through `UDP1` with the `UserName` of
    /// `state`. Closed by its frame, it deletes itself.
    Form2(AppState &state, UdpControl &UDP1, QWidget *parent = nullptr);

    /// "&OK": send `UserName`, ESC and the page text as one datagram to the host typed,
    /// add that host to the end of the history and hide. A host that cannot be resolved
    /// or a failed send is reported later by `UDP1.sendFailed`; the steps here do not wait.
    void pressOk();

    /// Open for a reply: the host becomes `host`, the page text is emptied, the history
    /// stays, and the dialog is shown.
    void openForReply(const QString &host);

    /// Make the dialog visible without changing anything in it.
    void open();

    /// The controls, for the window's owner and for tests.
    const Form2Layout &controls() const { return c; }

private:
    AppState &state;
    UdpControl &UDP1;
    Form2Layout c;
};

} // namespace tolvex
