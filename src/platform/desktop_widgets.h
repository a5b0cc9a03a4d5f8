#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace tolvex {

/// The modal text-input dialog: title, prompt and a field pre-filled with `text`.
/// Returns the field's text on OK and an empty text on Cancel or close.
QString inputBox(QWidget *parent, const QString &title, const QString &prompt, const QString &text);

/// Lets a test answer the next input dialogs instead of a person; an empty function
/// gives the real dialog back.
void setInputBoxForTests(std::function<QString(const QString &prompt, const QString &text)> answer);

/// Report a failure to the user in a modal message box.
void failureBox(QWidget *parent, const QString &what);

/// Lets a test see failures instead of a message box; an empty function gives the box back.
void setFailureBoxForTests(std::function<void(const QString &what)> seen);

} // namespace tolvex
