#pragma once

#include "layouts/form2layout.h"

namespace tolvex {

/// The controls of the Message Viewer, in creation order.
struct Form3Layout
{
    QPushButton *Command2 = nullptr; ///< "&Reply"
    QPushButton *Command1 = nullptr; ///< "&Close"
    QPlainTextEdit *Text1 = nullptr; ///< the message text
    QLabel *Label1 = nullptr;        ///< the message's list line
};

/// Turn `form` into the Message Viewer as it is created: fixed dialog frame titled
/// "Message Viewer", 403 x 185 client pixels at (32, 90), its controls, their tab order and
/// the first focus in the text box. The caller fills it and connects the buttons.
Form3Layout buildForm3(QWidget *form);

} // namespace tolvex
