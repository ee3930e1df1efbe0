// Reader peripherals: not simulated yet.
#include "sim/core/Simulator.h"

namespace sim
{

int Simulator::ledControlMode(int, unsigned char)
{
    return kNotSupported;
}

int Simulator::ledDisplayMode(int, unsigned char)
{
    return kNotSupported;
}

int Simulator::setClock(int, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::ledDisplay8(int, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::lcdSetBrightness(int, unsigned char)
{
    return kNotSupported;
}

int Simulator::lcdShowText(int, const char *)
{
    return kNotSupported;
}

int Simulator::lcdClear(int)
{
    return kNotSupported;
}

int Simulator::readNoteMemory(int, int, int, unsigned char *)
{
    return kNotSupported;
}

int Simulator::writeNoteMemory(int, int, int, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::des(const char *, const char *, char *, int)
{
    return kNotSupported;
}

} // namespace sim
