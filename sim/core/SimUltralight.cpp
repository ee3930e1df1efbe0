// Ultralight and Ultralight C: not simulated yet.
#include "sim/core/Simulator.h"

namespace sim
{

int Simulator::requestUltralight(int, unsigned char)
{
    return kNotSupported;
}

int Simulator::anticollUltralight(int, unsigned int *)
{
    return kNotSupported;
}

int Simulator::selectUltralight(int, unsigned int)
{
    return kNotSupported;
}

int Simulator::readUltralight(int, unsigned char, unsigned char *)
{
    return kNotSupported;
}

int Simulator::writeUltralight(int, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::haltUltralight(int)
{
    return kNotSupported;
}

int Simulator::ultralightCAuthenticate(int, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::ultralightCSetSafePage(int, unsigned char, unsigned char)
{
    return kNotSupported;
}

int Simulator::ultralightCLockPage(int, unsigned char)
{
    return kNotSupported;
}

int Simulator::ultralightCChangeKey(int, const unsigned char *, const unsigned char *)
{
    return kNotSupported;
}

} // namespace sim
