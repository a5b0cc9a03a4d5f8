#include "pager_widgets.h"

#include <QMessageBox>
#include <QWidget>

#include "paging/alert.h"
#include "paging/form2.h"
#include "paging/form3.h"
#include "platform/sockets.h"
#include "state/appstate.h"

namespace tolvex {

Pager::Pager(AppState &state, UdpControl &UDP1, Alert &alert, QWidget *form1)
    : state(state)
    , UDP1(UDP1)
    , alert(alert)
    , form1(form1)
{
    connect(&UDP1, &UdpControl::sendFailed, this, &Pager::reportSendFailure);
}

Pager::~Pager()
{
    delete form3.data();
    delete form2.data();
}

Form2 *Pager::sendDialog() const
{
    return form2;
}

Form3 *Pager::viewer() const
{
    return form3;
}

Form2 *Pager::ensureSendDialog()
{
    if (!form2)
        form2 = new Form2(state, UDP1, form1);
    return form2;
}

void Pager::openSendDialog()
{
    ensureSendDialog()->open();
}

void Pager::openViewer()
{
    const qsizetype i = state.store.selectedIndex();
    if (form3) {
        form3->show();
        form3->raise();
        form3->activateWindow();
    } else if (i >= 0) {
        form3 = new Form3(state.store.line(i), state.store.text(i), form1);
        connect(form3.data(), &Form3::replyPressed, this, &Pager::reply);
        form3->show();
        form3->activateWindow();
    }
    alert.reset();
}

void Pager::reply()
{
    const qsizetype i = state.store.selectedIndex();
    ensureSendDialog()->openForReply(state.store.host(i));
}

// A page that did not go out must not look sent: tell the user which host failed and why,
// without holding up the window.
void Pager::reportSendFailure(const QString &host, const QString &reason)
{
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Send Message"),
                                tr("The page to \"%1\" was not sent.\n\n%2").arg(host, reason),
                                QMessageBox::Ok, form1);
    box->setObjectName(QStringLiteral("sendFailure"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

} // namespace tolvex
