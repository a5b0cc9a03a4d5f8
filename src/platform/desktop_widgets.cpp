#include "desktop_widgets.h"

#include <QInputDialog>
#include <QMessageBox>

namespace tolvex {

namespace {
std::function<QString(const QString &, const QString &)> &inputSeam()
{
    static std::function<QString(const QString &, const QString &)> seam;
    return seam;
}
std::function<void(const QString &)> &failureSeam()
{
    static std::function<void(const QString &)> seam;
    return seam;
}
} // namespace

QString inputBox(QWidget *parent, const QString &title, const QString &prompt, const QString &text)
{
    if (inputSeam())
        return inputSeam()(prompt, text);
    bool ok = false;
    const QString result = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, text, &ok);
    return ok ? result : QString();
}

void setInputBoxForTests(std::function<QString(const QString &, const QString &)> answer)
{
    inputSeam() = std::move(answer);
}

void failureBox(QWidget *parent, const QString &what)
{
    if (failureSeam()) {
        failureSeam()(what);
        return;
    }
    QMessageBox::critical(parent, QStringLiteral("Tolvex"), what);
}

void setFailureBoxForTests(std::function<void(const QString &)> seen)
{
    failureSeam() = std::move(seen);
}

} // namespace tolvex
