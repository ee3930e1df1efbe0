// AT88RF020: not simulated yet.
#include "sim/core/Simulator.h"

namespace sim
{

int Simulator::atCheck(int, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::atChangeKey(int, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::atCommand(int, const unsigned char *, unsigned char, unsigned char *, unsigned char *)
{
    return kNotSupported;
}

int Simulator::atRead(int, unsigned char, const unsigned char *, unsigned char *)
{
    return kNotSupported;
}

int Simulator::atWrite(int, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::atLock(int, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::atCount(int, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::atHalt(int, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

} // namespace sim
