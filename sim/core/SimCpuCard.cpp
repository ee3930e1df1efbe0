// ISO 14443-4 CPU cards and Mifare Pro: not simulated yet.
#include "sim/core/Simulator.h"

namespace sim
{

int Simulator::proReset(int, unsigned char *, unsigned char *)
{
    return kNotSupported;
}

int Simulator::proCommand(int, unsigned char, const unsigned char *, unsigned char *, unsigned char *, unsigned char,
                          unsigned char)
{
    return kNotSupported;
}

int Simulator::resetMifarePro(int, unsigned char *, unsigned char *)
{
    return kNotSupported;
}

int Simulator::apduMifarePro(int, unsigned char, const unsigned char *, unsigned char *, unsigned char *)
{
    return kNotSupported;
}

int Simulator::haltMifarePro(int)
{
    return kNotSupported;
}

} // namespace sim
