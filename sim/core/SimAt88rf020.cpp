// AT88RF020 in the TYPE B field, selected by rz_request_b and rz_attrib. Every
// entry point is a command frame of the card (At88rf020.h); rz_CommandLink_at
// sends the operator's frames as they are.
#include "sim/core/Simulator.h"

#include <algorithm>

namespace sim
{

int Simulator::at88Card(int h, Target *t)
{
    if (const int rc = contactless(h, "typeb", t))
        return rc;
    if (t->card->kind != CardKind::At88rf020)
        return kNotSupported;
    return t->session->phase == Phase::Active ? kOk : kNoCard;
}

int Simulator::at88Command(int h, const std::vector<uint8_t> &frame, at88::Answer *answer)
{
    charge(air::Frame::Exchange, frame.size() + 11); // the frame, a status byte and a page
    Target t;
    if (const int rc = at88Card(h, &t))
        return rc;
    at88::Memory memory = t.card->at88;
    at88::Session cardSession = t.session->at88;
    *answer = at88::exchange(memory, cardSession, frame.data(), frame.size());
    Session *session = t.session;
    if (answer->changed) {
        if (const int rc = modifyCard(h, "typeb", [&](Card &card) {
                card.at88 = memory;
                return kOk;
            }))
            return rc;
    }
    session->at88 = cardSession;
    if (answer->halted)
        *session = Session::fresh(session->identity, Phase::Halted);
    return kOk;
}

int Simulator::at88Result(int h, const std::vector<uint8_t> &frame)
{
    at88::Answer answer;
    if (const int rc = at88Command(h, frame, &answer))
        return rc;
    return at88::resultOf(answer);
}

// The library sends the password of these calls along: it must be the one
// the card was verified with.
int Simulator::at88WithPassword(int h, const unsigned char *password)
{
    Target t;
    if (const int rc = at88Card(h, &t))
        return rc;
    if (!password)
        return kBadArgument;
    const at88::Page stored = at88::password(t.card->at88);
    if (!t.session->at88.verified || !std::equal(stored.begin(), stored.end(), password))
        return kAuthFailed;
    return kOk;
}

int Simulator::atCheck(int h, unsigned char, const unsigned char *password)
{
    if (!password)
        return openReader(h) ? kBadArgument : kBadHandle;
    return at88Result(h, at88::frame(at88::kCheck, 0, password));
}

int Simulator::atChangeKey(int h, const unsigned char *password)
{
    if (!password)
        return openReader(h) ? kBadArgument : kBadHandle;
    return at88Result(h, at88::frame(at88::kChangeKey, 0, password));
}

int Simulator::atCommand(int h, const unsigned char *command, unsigned char length, unsigned char *reply,
                         unsigned char *replyLength)
{
    if (!command || length == 0 || !reply || !replyLength)
        return openReader(h) ? kBadArgument : kBadHandle;
    at88::Answer answer;
    if (const int rc = at88Command(h, std::vector<uint8_t>(command, command + length), &answer))
        return rc;
    std::copy(answer.reply.begin(), answer.reply.end(), reply);
    *replyLength = static_cast<unsigned char>(answer.reply.size());
    return kOk;
}

int Simulator::atRead(int h, unsigned char page, const unsigned char *password, unsigned char *data)
{
    if (const int rc = at88WithPassword(h, password))
        return rc;
    if (!data)
        return kBadArgument;
    at88::Answer answer;
    if (const int rc = at88Command(h, at88::frame(at88::kRead, page), &answer))
        return rc;
    if (const int rc = at88::resultOf(answer))
        return rc;
    std::copy(answer.reply.begin() + 1, answer.reply.end(), data);
    return kOk;
}

int Simulator::atWrite(int h, unsigned char page, const unsigned char *data)
{
    if (!data)
        return openReader(h) ? kBadArgument : kBadHandle;
    return at88Result(h, at88::frame(at88::kWrite, page, data));
}

// mode: the page to lock (4-31).
int Simulator::atLock(int h, unsigned char mode, const unsigned char *password)
{
    if (const int rc = at88WithPassword(h, password))
        return rc;
    return at88Result(h, at88::frame(at88::kLock, mode));
}

int Simulator::atCount(int h, unsigned char, const unsigned char *password)
{
    if (const int rc = at88WithPassword(h, password))
        return rc;
    return at88Result(h, at88::frame(at88::kCount, 0));
}

int Simulator::atHalt(int h, unsigned char, const unsigned char *password)
{
    if (const int rc = at88WithPassword(h, password))
        return rc;
    return at88Result(h, at88::frame(at88::kHalt, 0));
}

} // namespace sim
