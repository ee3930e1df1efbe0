// ISO 14443-4 CPU cards in the contactless field: TYPE A after RATS
// (rz_pro_reset), TYPE B after ATTRIB, and the Mifare Pro entry points. Every
// APDU goes to the card's ISO 7816-4 application.
#include "sim/core/Simulator.h"

#include <algorithm>

namespace sim
{

namespace
{

// The reply buffers of the tool hold 256 bytes; the length is one byte.
constexpr std::size_t kMaxReply = 255;

} // namespace

int Simulator::exchangeApdu(int h, const Target &t, const unsigned char *command, std::size_t length,
                            iso7816::Link link, unsigned char *replyLength, unsigned char *reply)
{
    iso7816::Application application = t.card->application;
    const iso7816::Exchange exchange = iso7816::process(application, t.session->apdu, command, length, link, kMaxReply);
    // Contact slots exchange characters at 9600 baud, the field its blocks at 106 kbit/s.
    const bool contact = t.position == "contact" || t.position.rfind("sam", 0) == 0;
    charge(contact ? air::Frame::ContactBytes : air::Frame::Exchange, length + exchange.response.size());
    if (exchange.changed) {
        const int saved = modifyCard(h, t.position.c_str(), [&](Card &card) {
            card.application = application;
            return kOk;
        });
        if (saved != kOk)
            return saved;
    }
    std::copy(exchange.response.begin(), exchange.response.end(), reply);
    *replyLength = static_cast<unsigned char>(exchange.response.size());
    return kOk;
}

int Simulator::layer4TypeA(int h, Target *t)
{
    if (const int rc = contactless(h, "typea", t))
        return rc;
    if (atsOf(*t->card).empty())
        return kNotSupported;
    if (t->session->phase != Phase::Active)
        return kNoCard;
    return kOk;
}

// RATS to the selected card: its ATS.
int Simulator::proReset(int h, unsigned char *length, unsigned char *answer)
{
    Target t;
    if (const int rc = layer4TypeA(h, &t))
        return rc;
    if (!length || !answer)
        return kBadArgument;
    const std::vector<uint8_t> ats = atsOf(*t.card);
    charge(air::Frame::Exchange, 2 + ats.size());
    std::copy(ats.begin(), ats.end(), answer);
    *length = static_cast<unsigned char>(ats.size());
    t.session->layer4 = true;
    t.session->apdu = iso7816::Context{};
    return kOk;
}

// The card of the reader's protocol setting that has entered ISO 14443-4.
int Simulator::proCommand(int h, unsigned char length, const unsigned char *command, unsigned char *replyLength,
                          unsigned char *reply, unsigned char /*timeout*/, unsigned char /*frameSize*/)
{
    const Reader *r = reader(h);
    if (!r)
        return kBadHandle;
    Target t;
    if (const int rc = contactless(h, r->protocol == 'B' ? "typeb" : "typea", &t))
        return rc;
    if (!hasApplication(t.card->kind))
        return kNotSupported;
    if (!t.session->layer4 || t.session->phase != Phase::Active)
        return kNoCard;
    if (!command || length == 0 || !replyLength || !reply)
        return kBadArgument;
    return exchangeApdu(h, t, command, length, iso7816::Link::T1, replyLength, reply);
}

int Simulator::resetMifarePro(int h, unsigned char *length, unsigned char *answer)
{
    Target t;
    if (const int rc = contactless(h, "typea", &t))
        return rc;
    if (t.card->kind != CardKind::MifarePro)
        return kNotSupported;
    return proReset(h, length, answer);
}

int Simulator::apduMifarePro(int h, unsigned char length, const unsigned char *command, unsigned char *replyLength,
                             unsigned char *reply)
{
    Target t;
    if (const int rc = contactless(h, "typea", &t))
        return rc;
    if (t.card->kind != CardKind::MifarePro)
        return kNotSupported;
    if (!t.session->layer4 || t.session->phase != Phase::Active)
        return kNoCard;
    if (!command || length == 0 || !replyLength || !reply)
        return kBadArgument;
    return exchangeApdu(h, t, command, length, iso7816::Link::T1, replyLength, reply);
}

// DESELECT and HALT: the card sleeps until a wake-up request.
int Simulator::haltMifarePro(int h)
{
    Target t;
    if (const int rc = contactless(h, "typea", &t))
        return rc;
    if (t.card->kind != CardKind::MifarePro)
        return kNotSupported;
    if (t.session->phase != Phase::Active)
        return kNoCard;
    *t.session = Session::fresh(t.session->identity, Phase::Halted);
    return kOk;
}

} // namespace sim
