#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace tolvex {

struct AppState;
class Alert;
class Form2;
class Form3;
class UdpControl;

/// The paging windows of the main window: the Send Message dialog, the Message Viewer and
/// the report of a page that could not be sent.
class Pager : public QObject
{
    Q_OBJECT

public:
    /// `form1` is the main window: it parents the dialogs and the failure reports.
    Pager(AppState &state, UdpControl &UDP1, Alert &alert, QWidget *form1);
    ~Pager() override;

    /// "&Send" on the main window: show the Send Message dialog, made at its first opening,
    /// with whatever it held before.
    void openSendDialog();

    /// Double-click on `List1`: show the viewer, made and filled from the selected line if
    /// none is open (an open one is only shown again), then reset the alert. With no line
    /// selected no viewer is made; the alert is reset all the same.
    void openViewer();

    /// "&Reply" in the viewer: the dialog addressed to the peer of the line selected now,
    /// with an empty text.
    void reply();

    /// The Send Message dialog, or null before its first opening.
    Form2 *sendDialog() const;
    /// The open viewer, or null.
    Form3 *viewer() const;

private:
    Form2 *ensureSendDialog();
    void reportSendFailure(const QString &host, const QString &reason);

    AppState &state;
    UdpControl &UDP1;
    Alert &alert;
    QPointer<QWidget> form1;
    QPointer<Form2> form2;
    QPointer<Form3> form3;
};

} // namespace tolvex
