#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include "layouts/twips.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace tolvex {

// Helpers shared by the two dialog layouts.

/// Make `form` a top-level dialog window with a fixed frame (title bar and close box, no
/// minimize or maximize button), the given title, client size and first position.
void setFixedDialogFrame(QWidget *form, const QString &title, QSize clientSize, QPoint firstPosition);

/// A push button that is never a default button, so Enter never presses it.
QPushButton *plainButton(const QString &caption, QWidget *form, const QRect &geometry, const QString &name);

/// A label that never takes the focus.
QLabel *plainLabel(const QString &text, QWidget *form, const QRect &geometry, const QString &name);

/// A multi-line text box: lines wrap at its width, no scroll bars, Enter starts a new
/// line and Tab moves the focus on.
QPlainTextEdit *wrappingTextBox(QWidget *form, const QRect &geometry, const QString &name);

/// The controls of the Send Message dialog, in creation order.
struct Form2Layout
{
    QPushButton *Command1 = nullptr; ///< "&OK"
    QPlainTextEdit *Text1 = nullptr; ///< the page text
    QComboBox *Combo1 = nullptr;     ///< the host, with the history of hosts used
    QLabel *Label2 = nullptr;        ///< "Message:"
    QLabel *Label1 = nullptr;        ///< "Hostname:"
};

/// Turn `form` into the Send Message dialog as it is created: fixed dialog frame titled
/// "Send Message", 269 x 191 client pixels at (94, 153), its controls, their tab order and
/// the first focus in the host field. The caller connects the button.
Form2Layout buildForm2(QWidget *form);

} // namespace tolvex
