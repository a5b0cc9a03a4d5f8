// Remote access on a free loopback port, for driving with a real telnet client.
// Prints "PORT <n>" once listening, and "PAGE <index> <text in hex> <list entry>" for every
// page a caller leaves.
#include <cstdio>

#include <QCoreApplication>

#include "paging/alert.h"
#include "platform/sockets.h"
#include "platform/soundplayer.h"
#include "remote/banner.h"
#include "remote/remoteaccess.h"
#include "state/appstate.h"

#include "testsupport.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

void say(const QByteArray &line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The page's title change is the last alert step after it is stored: report it then.
struct ReportingWindow : AlertWindow
{
    AppState *state = nullptr;
    void setIndicatorColor(const QColor &) override {}
    void setTitle(const QString &) override
    {
        const qsizetype i = state->store.MessageCount() - 1;
        say("PAGE " + QByteArray::number(i) + ' ' + state->store.text(i).toUtf8().toHex() + ' '
            + state->store.line(i).toUtf8());
    }
    void beep() override { say("BEEP"); }
    void drawAttention() override {}
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    AppState state;
    prepareForCallers(state);

    TcpControl TCP1(0);
    TcpControl TCP2(0);
    ReportingWindow window;
    window.state = &state;
    QuietPlayer player;
    Alert alert(window, player);
    RemoteAccess access(state, TCP1, TCP2, alert, window, [](const QString &status) { say(status.toUtf8()); });
    SocketFailure failure;
    if (!TCP1.listen(&failure)) {
        std::fprintf(stderr, "cannot listen: %s\n", qPrintable(failure.reason));
        return 1;
    }
    say("PORT " + QByteArray::number(TCP1.listeningPort()));
    return app.exec();
}
