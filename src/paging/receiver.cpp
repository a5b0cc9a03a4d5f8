#include "receiver.h"

#include "paging/alert.h"
#include "platform/clock.h"
#include "platform/sockets.h"
#include "state/appstate.h"
#include "state/listentry.h"

namespace tolvex {

namespace {

constexpr QChar Esc(27);

} // namespace

PageParts splitPage(const QString &received)
{
    const qsizetype position = received.indexOf(Esc);
    if (position < 0)
        return {QString(), received};
    return {received.left(position), received.mid(position + 1)};
}

void receivePage(AppState &state, UdpControl &UDP1, Alert &alert)
{
    MessageStore &store = state.store;

    const QString received = UDP1.getData();
    const PageParts page = splitPage(received);
    const QString entry = listEntry(currentDateTime(), page.sender, UDP1.remoteHost());

    store.storeHost(UDP1.remoteHost());
    store.appendLine(entry);
    alert.stepA();
    store.select(store.MessageCount());
    store.storeText(page.text);
    store.raiseCount();
    alert.stepB();
    alert.restartSound();
    alert.stepF();
    alert.stepG();
}

} // namespace tolvex
