#include "form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWindow>

#include "layouts/artwork.h"
#include "layouts/form1layout.h"
#include "paging/form2.h"
#include "paging/form3.h"
#include "paging/pager_widgets.h"
#include "paging/receiver.h"
#include "platform/desktop_widgets.h"
#include "remote/banner.h"
#include "remote/remoteaccess.h"
#include "shell/identity.h"
#include "shell/messagelist_widgets.h"
#include "shell/sessionlog.h"

namespace tolvex {

namespace {

QFont smallFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(Form1Layout::SmallFontPoints);
    font.setWeight(QFont::Normal);
    return font;
}

void paintGreenOnBlack(QWidget *widget)
{
    QPalette palette = widget->palette();
    for (auto role : {QPalette::Window, QPalette::Base})
        palette.setColor(role, Qt::black);
    for (auto role : {QPalette::WindowText, QPalette::Text})
        palette.setColor(role, QColor(128, 255, 128));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
    widget->setFont(smallFont());
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

QString portFailureText(const QString &kind, quint16 port, const SocketFailure &failure)
{
    const QString what = QStringLiteral("Tolvex could not open %1 port %2 (%3).").arg(kind).arg(port).arg(failure.reason);
    if (failure.error == QAbstractSocket::AddressInUseError)
        return what + QStringLiteral("\n\nAnother program holds %1 port %2. Close that program or stop its service, then start Tolvex again.").arg(kind).arg(port);
    if (failure.error == QAbstractSocket::SocketAccessError)
        return what + QStringLiteral("\n\nLinux lets only privileged programs open ports below 1024. Allow Tolvex once with:\n  sudo setcap cap_net_bind_service=+ep %1\nthen start it again.").arg(QCoreApplication::applicationFilePath());
    return what;
}

Form1::Form1(SettingsStore &settings, SoundPlayer &player, Form1Ports ports, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , TCP1(ports.telnet)
    , TCP2(ports.telnet)
    , UDP1(ports.pages, ports.pagesRemote)
    , MMControl1(player)
    , alert(*this, player)
    , settings(settings)
{
    setObjectName(QStringLiteral("Form1"));
    buildControls();
    // The datagram socket receives pages from the moment the window exists.
    bound = UDP1.bind(&bindFailure);
    pager = std::make_unique<Pager>(state, UDP1, alert, this);
    remote = std::make_unique<RemoteAccess>(state, TCP1, TCP2, alert, *this,
                                            [this](const QString &text) { Label1->setText(text); });
    connect(&UDP1, &UdpControl::dataArrival, this, [this] { receivePage(state, UDP1, alert); });
    connect(List1, &MessageList::doubleClicked, pager.get(), &Pager::openViewer);
    connect(Command1, &QPushButton::clicked, pager.get(), &Pager::openSendDialog);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    setWindowTitle(TitleQuiet);
    setWindowIcon(form1Icon());
    setFixedSize(Form1Layout::Client.size());
    move(Form1Layout::Client.topLeft());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(Form1Layout::Picture1);
    Picture1->setAutoFillBackground(true);
    Picture1->setFocusPolicy(Qt::TabFocus);
    Picture1->setAttribute(Qt::WA_NoMousePropagation);
    setIndicatorColor(IndicatorQuiet);

    Command4 = button(this, "Command4", QStringLiteral("Set &Pass"), Form1Layout::Command4);
    Command3 = button(this, "Command3", QStringLiteral("&Off"), Form1Layout::Command3);
    Command2 = button(this, "Command2", QStringLiteral("Set &Name"), Form1Layout::Command2);

    List1 = new MessageList(state.store, this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(Form1Layout::List1);
    List1->setFrameShape(QFrame::NoFrame);
    paintGreenOnBlack(List1);

    Command1 = button(this, "Command1", QStringLiteral("&Send"), Form1Layout::Command1);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Form1Layout::Label1);
    Label1->setAttribute(Qt::WA_NoMousePropagation);
    paintGreenOnBlack(Label1);

    setTabOrder(Command1, List1);
    setTabOrder(List1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Command4);
    setTabOrder(Command4, Picture1);
    Command1->setFocus();
}

QString Form1::startUp()
{
    if (!bound)
        return portFailureText(QStringLiteral("UDP"), UDP1.LocalPort, bindFailure);
    // 1. the banner lines
    fillTelnetBanner(state);
    // 2. the window's place
    move(Form1Layout::StartPosition);
    // 3. the telnet listener
    SocketFailure failure;
    if (!TCP1.listen(&failure))
        return portFailureText(QStringLiteral("TCP"), TCP1.LocalPort, failure);
    // 4. the line end sent to telnet callers
    state.CRLF = QStringLiteral("\r\n");
    // 5. the local host line
    Label1->setText(QStringLiteral("Local host is ") + UdpControl::localHostName() + QStringLiteral(" (")
                    + UdpControl::localHostIP() + u')');
    // 6. the user's name and passcode
    const QString settingsProblem = loadSettings(state, settings);
    if (!settingsProblem.isEmpty())
        return settingsProblem;
    // 7. the alarm player
    alert.setupPlayer(programDirectory());
    Command1->setFocus();
    return {};
}

QString Form1::programDirectory() const
{
    return QCoreApplication::applicationDirPath();
}

void Form1::setIndicatorColor(const QColor &color)
{
    QPalette palette = Picture1->palette();
    palette.setColor(QPalette::Window, color);
    Picture1->setPalette(palette);
}

QColor Form1::indicatorColor() const
{
    return Picture1->palette().color(QPalette::Window);
}

void Form1::setTitle(const QString &title)
{
    setWindowTitle(title);
}

void Form1::beep()
{
    QApplication::beep();
}

void Form1::drawAttention()
{
    // Ask the desktop to draw the user's attention to the window (a flashing task bar
    // entry or the like), without taking the focus from what the user is doing.
    QApplication::alert(this);
}

void Form1::paintEvent(QPaintEvent *)
{
    // The picture is 350 pixels wide, the window 348: its two rightmost columns are cut.
    static const QPixmap background = form1Background();
    QPainter painter(this);
    painter.drawPixmap(0, 0, background);
}

// Dragging the background: a left-button drag moves the window with the grabbed point
// under the pointer; a click without movement, and any other button, leave it in place.
void Form1::mousePressEvent(QMouseEvent *event)
{
    dragging = event->button() == Qt::LeftButton;
    systemMove = false;
    grabbed = event->position().toPoint();
}

void Form1::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragging || event->buttons() != Qt::LeftButton || systemMove)
        return;
    if (windowHandle() && windowHandle()->startSystemMove()) {
        systemMove = true;
        return;
    }
    move(event->globalPosition().toPoint() - grabbed);
}

void Form1::mouseReleaseEvent(QMouseEvent *)
{
    dragging = false;
    systemMove = false;
}

void Form1::closeEvent(QCloseEvent *event)
{
    const QString problem = saveSettings(state, settings);
    if (!problem.isEmpty()) {
        failureBox(this, problem);
        QCoreApplication::exit(1);
    } else {
        QCoreApplication::quit();
    }
    event->accept();
}

void Form1::Command2_Click()
{
    applyDialogResult(state.UserName, inputBox(this, DialogTitle, NamePrompt, state.UserName));
}

void Form1::Command4_Click()
{
    applyDialogResult(state.UserPass, inputBox(this, DialogTitle, PassPrompt, state.UserPass));
}

void Form1::Command3_Click()
{
    off(state, settings, programDirectory());
    // Ends the program at once: no close handling of this window runs.
    QCoreApplication::exit(0);
}

Form1 *showForm1()
{
    static SettingsStore settings;
    static EffectPlayer player;
    // The sound effect must go before the application does: Qt's sample cache is gone by
    // the time static objects are destroyed, and releasing the effect then crashes at exit.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [] { player.close(); });
    auto *form = new Form1(settings, player);
    const QString failure = form->startUp();
    if (!failure.isEmpty()) {
        delete form;
        failureBox(nullptr, failure);
        QCoreApplication::exit(1);
        return nullptr;
    }
    form->show();
    return form;
}

} // namespace tolvex
