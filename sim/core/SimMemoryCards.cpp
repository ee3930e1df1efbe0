// SLE4442, SLE4428 and AT24C64 in the contact slot: not simulated yet.
#include "sim/core/Simulator.h"

namespace sim
{

int Simulator::sle4442ReadErrorCounter(int, unsigned char *)
{
    return kNotSupported;
}

int Simulator::sle4442Authenticate(int, unsigned char, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::sle4442ChangeKey(int, unsigned char, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::sle4442Read(int, int, unsigned char *, int)
{
    return kNotSupported;
}

int Simulator::sle4442Write(int, int, const unsigned char *, int)
{
    return kNotSupported;
}

int Simulator::sle4442ReadProtection(int, int, unsigned char *, int)
{
    return kNotSupported;
}

int Simulator::sle4442WriteProtection(int, int, const unsigned char *, int)
{
    return kNotSupported;
}

int Simulator::sle4428Authenticate(int, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::sle4428ChangeKey(int, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::sle4428Read(int, int, unsigned char *, int)
{
    return kNotSupported;
}

int Simulator::sle4428Write(int, int, const unsigned char *, int)
{
    return kNotSupported;
}

int Simulator::sle4428ReadProtection(int, int, unsigned char *, int)
{
    return kNotSupported;
}

int Simulator::sle4428WriteProtection(int, int, const unsigned char *, int)
{
    return kNotSupported;
}

int Simulator::at24c64Check(int)
{
    return kNotSupported;
}

int Simulator::at24c64Read(int, int, int, unsigned char *)
{
    return kNotSupported;
}

int Simulator::at24c64Write(int, int, int, const unsigned char *)
{
    return kNotSupported;
}

} // namespace sim
