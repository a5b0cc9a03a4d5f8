#include "form2.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/codepage.h"
#include "platform/sockets.h"
#include "state/appstate.h"

namespace tolvex {

QString pageTextFromBox(const QString &boxText)
{
    QString text = boxText;
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

QString boxTextFromPage(const QString &pageText)
{
    QString text = pageText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

Form2::Form2(AppState &state, UdpControl &UDP1, QWidget *parent)
    : QWidget(parent)
    , state(state)
    , UDP1(UDP1)
    , c(buildForm2(this))
{
    // Closing the dialog by its frame sends nothing and discards it with its history;
    // the next opening makes a fresh one.
    setAttribute(Qt::WA_DeleteOnClose);
    connect(c.Command1, &QPushButton::clicked, this, &Form2::pressOk);
}

void Form2::pressOk()
{
    const QString host = c.Combo1->currentText();
    const QString text = pageTextFromBox(c.Text1->toPlainText());
    UDP1.setRemoteHost(host);
    UDP1.send(toAnsi(state.UserName + QChar(27) + text));
    // Adding the first item would make it current and so rewrite the host field; the
    // field keeps exactly what was typed.
    const QString typed = c.Combo1->currentText();
    c.Combo1->addItem(typed);
    c.Combo1->setEditText(typed);
    hide();
}

void Form2::openForReply(const QString &host)
{
    c.Combo1->setEditText(host);
    c.Text1->clear();
    open();
}

void Form2::open()
{
    show();
    raise();
    activateWindow();
}

} // namespace tolvex
