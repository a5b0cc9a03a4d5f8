#pragma once

#include <QWidget>

#include "layouts/form3layout.h"

namespace tolvex {

/// The Message Viewer (`Form3`): one message's list line and text, copied when the viewer
/// is made. "&Close" destroys it; "&Reply" asks its owner to answer the message selected
/// at the moment of the press.
class Form3 : public QWidget
{
    Q_OBJECT

public:
    /// A viewer showing `line` on top and `text` below, not yet shown; it deletes itself
    /// when closed.
    Form3(const QString &line, const QString &text, QWidget *parent = nullptr);

    /// The controls, for the window's owner and for tests.
    const Form3Layout &controls() const { return c; }

Q_SIGNALS:
    /// "&Reply" was pressed.
    void replyPressed();

private:
    Form3Layout c;
};

} // namespace tolvex
