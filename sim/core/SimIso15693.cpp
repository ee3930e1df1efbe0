// ISO15693 beyond the inventory: not simulated yet.
#include "sim/core/Simulator.h"

namespace sim
{

int Simulator::getSystemInfo(int, unsigned char, const unsigned char *, unsigned char *, unsigned char *)
{
    return kNotSupported;
}

int Simulator::readBlocks(int, unsigned char, unsigned char, unsigned char, const unsigned char *, unsigned char *,
                          unsigned char *)
{
    return kNotSupported;
}

int Simulator::writeBlocks(int, unsigned char, unsigned char, unsigned char, const unsigned char *, unsigned char,
                           const unsigned char *)
{
    return kNotSupported;
}

int Simulator::lockBlock(int, unsigned char, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::writeAfi(int, unsigned char, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::lockAfi(int, unsigned char, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::writeDsfid(int, unsigned char, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::lockDsfid(int, unsigned char, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::getSecurityInfo(int, unsigned char, unsigned char, unsigned char, const unsigned char *, unsigned char *,
                               unsigned char *)
{
    return kNotSupported;
}

int Simulator::resetToReady(int, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::selectUid(int, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::stayQuiet(int, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

} // namespace sim
