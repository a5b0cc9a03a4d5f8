#include "telnetfilter.h"

#include <utility>

#include <libtelnet.h>

namespace tolvex {

namespace {

// What we speak: ECHO and SGA on our side, nothing on the caller's.
const telnet_telopt_t optionTable[] = {
    {TELNET_TELOPT_ECHO, TELNET_WILL, TELNET_DONT},
    {TELNET_TELOPT_SGA, TELNET_WILL, TELNET_DONT},
    {-1, 0, 0},
};

} // namespace

TelnetFilter::TelnetFilter()
{
    reset();
}

TelnetFilter::~TelnetFilter()
{
    if (telnet)
        telnet_free(telnet);
}

void TelnetFilter::reset()
{
    startParser();
    data.clear();
    sent.clear();
    afterCR = false;
    afterIAC = false;
}

void TelnetFilter::startParser()
{
    if (telnet)
        telnet_free(telnet);
    telnet = telnet_init(optionTable, &TelnetFilter::onEvent, 0, this);
}

QByteArray TelnetFilter::offer()
{
    sent.clear();
    telnet_negotiate(telnet, TELNET_WILL, TELNET_TELOPT_ECHO);
    telnet_negotiate(telnet, TELNET_WILL, TELNET_TELOPT_SGA);
    return std::exchange(sent, QByteArray());
}

TelnetFilter::Output TelnetFilter::feed(QByteArrayView raw)
{
    data.clear();
    sent.clear();
    // A sub-negotiation ends only at a byte after an IAC. Input with no IAC in it, that
    // does not follow one, therefore cannot end one and goes to the parser whole.
    if (!afterIAC && !raw.contains(char(TELNET_IAC))) {
        if (!raw.isEmpty())
            telnet_recv(telnet, raw.data(), std::size_t(raw.size()));
    } else {
        for (const char byte : raw)
            feedByte(byte);
    }
    if (!raw.isEmpty())
        afterIAC = raw.back() == char(TELNET_IAC);
    return Output{std::exchange(data, QByteArray()), std::exchange(sent, QByteArray())};
}

// libtelnet starts inflating the caller's input at the end of IAC SB COMPRESS2 ..., even
// though we refuse that option: everything after it would be garbled. Fed one byte at a
// time, the parser has nothing left to inflate when it starts; it is then replaced by a
// fresh one, which reads on as plain telnet. Where the sub-negotiation ended on a command
// other than SE, the fresh parser is given that command, as the old one would have read it.
void TelnetFilter::feedByte(char byte)
{
    compressionStarted = false;
    telnet_recv(telnet, &byte, 1);
    if (!compressionStarted)
        return;
    startParser();
    if (byte != char(TELNET_SE)) {
        const char command[] = {char(TELNET_IAC), byte};
        telnet_recv(telnet, command, sizeof command);
    }
}

QByteArray TelnetFilter::encode(QByteArrayView bytes)
{
    sent.clear();
    if (!bytes.isEmpty())
        telnet_send(telnet, bytes.data(), std::size_t(bytes.size()));
    return std::exchange(sent, QByteArray());
}

void TelnetFilter::addData(const char *bytes, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        const char byte = bytes[i];
        // Enter arrives as CR NUL from most clients in character mode: make it CR LF, so a
        // page typed over telnet keeps proper line breaks (the dispatcher still sees a
        // chunk beginning with CR).
        data.append(afterCR && byte == '\0' ? '\n' : byte);
        afterCR = byte == '\r';
    }
}

void TelnetFilter::onEvent(telnet_t *, telnet_event_t *event, void *self)
{
    auto *filter = static_cast<TelnetFilter *>(self);
    switch (event->type) {
    case TELNET_EV_DATA:
        filter->addData(event->data.buffer, event->data.size);
        break;
    case TELNET_EV_SEND:
        filter->sent.append(event->data.buffer, qsizetype(event->data.size));
        break;
    case TELNET_EV_COMPRESS:
        filter->compressionStarted = event->compress.state != 0;
        break;
    default:
        // Commands, answers to our offer, subnegotiations, warnings: nothing to act on.
        break;
    }
}

} // namespace tolvex
