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
    if (telnet)
        telnet_free(telnet);
    telnet = telnet_init(optionTable, &TelnetFilter::onEvent, 0, this);
    data.clear();
    sent.clear();
    afterCR = false;
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
    if (!raw.isEmpty())
        telnet_recv(telnet, raw.data(), std::size_t(raw.size()));
    return Output{std::exchange(data, QByteArray()), std::exchange(sent, QByteArray())};
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
    default:
        // Commands, answers to our offer, subnegotiations, warnings: nothing to act on.
        break;
    }
}

} // namespace tolvex
