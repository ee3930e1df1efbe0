// Contact CPU card and SAM slots: not simulated yet.
#include "sim/core/Simulator.h"

namespace sim
{

int Simulator::setCpuSlot(int, unsigned char)
{
    return kNotSupported;
}

int Simulator::cpuReset(int, unsigned char *, unsigned char *)
{
    return kNotSupported;
}

int Simulator::setCpuParameters(int, unsigned char, unsigned char, unsigned char)
{
    return kNotSupported;
}

int Simulator::cpuApdu(int, int, const unsigned char *, unsigned char *, unsigned char *)
{
    return kNotSupported;
}

int Simulator::cpuPowerDown(int, unsigned char)
{
    return kNotSupported;
}

} // namespace sim
