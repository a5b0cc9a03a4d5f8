#pragma once

#include <QByteArray>
#include <QByteArrayView>

struct telnet_t;
union telnet_event_t;

namespace tolvex {

/// The telnet protocol of one remote session, without a socket: bytes from the caller go
/// in, the typed bytes and the protocol replies come out; bytes for the caller go in and
/// come out with IAC doubled.
///
/// Options: we offer WILL ECHO and WILL SUPPRESS-GO-AHEAD (which puts today's clients
/// into one-keystroke-at-a-time mode without local echo) and accept DO ECHO and DO SGA;
/// every other option the caller offers or asks for is refused. Commands (IAC x) and
/// subnegotiations (IAC SB ... IAC SE) are removed; IAC IAC becomes the data byte 255;
/// CR NUL (the Enter key of most clients in character mode) becomes CR LF. The state is kept between
/// calls, so a sequence split over two arrivals is understood. A caller's IAC SB COMPRESS2
/// is removed like any other sub-negotiation: what follows it is read as plain telnet.
class TelnetFilter
{
public:
    TelnetFilter();
    ~TelnetFilter();
    TelnetFilter(const TelnetFilter &) = delete;
    TelnetFilter &operator=(const TelnetFilter &) = delete;

    /// What one arrival yields.
    struct Output
    {
        QByteArray data;  ///< the bytes the caller typed
        QByteArray reply; ///< protocol answers to send back as they are
    };

    /// Forget everything: the state of a fresh connection.
    void reset();
    /// The opening offer, FF FB 01 FF FB 03, to send as it is. Empty when already made.
    QByteArray offer();
    /// Take bytes as they arrived from the caller.
    Output feed(QByteArrayView raw);
    /// Bytes for the caller, with every data byte 255 doubled; send the result as it is.
    QByteArray encode(QByteArrayView data);

private:
    static void onEvent(telnet_t *telnet, telnet_event_t *event, void *self);
    void startParser();
    void feedByte(char byte);
    void addData(const char *bytes, std::size_t size);

    telnet_t *telnet = nullptr;
    QByteArray data;
    QByteArray sent;
    bool afterCR = false;
    bool afterIAC = false;
    bool compressionStarted = false;
};

} // namespace tolvex
