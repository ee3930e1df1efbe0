// MIFARE Plus: not simulated yet.
#include "sim/core/Simulator.h"

namespace sim
{

int Simulator::mfpWritePerso(int, const unsigned char *, unsigned short)
{
    return kNotSupported;
}

int Simulator::mfpCommitPerso(int)
{
    return kNotSupported;
}

int Simulator::mfpL1Authenticate(int, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::mfpL1SwitchToL2(int, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::mfpL1SwitchToL3(int, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::mfpL2SwitchToL3(int, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::mfpL3AuthenticateKey(int, const unsigned char *, unsigned short)
{
    return kNotSupported;
}

int Simulator::mfpL3AuthenticateSector(int, unsigned char, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::mfpL3ReadPlain(int, unsigned short, unsigned char, unsigned char *)
{
    return kNotSupported;
}

int Simulator::mfpL3WritePlain(int, unsigned short, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::mfpL3ReadEncrypted(int, unsigned short, unsigned char, unsigned char *)
{
    return kNotSupported;
}

int Simulator::mfpL3WriteEncrypted(int, unsigned short, unsigned char, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::mfpL3UpdateKey(int, unsigned short, const unsigned char *)
{
    return kNotSupported;
}

int Simulator::mfpL3InitValue(int, unsigned char, int)
{
    return kNotSupported;
}

int Simulator::mfpL3ReadValue(int, unsigned char, int *)
{
    return kNotSupported;
}

int Simulator::mfpL3Increment(int, unsigned char, int)
{
    return kNotSupported;
}

int Simulator::mfpL3Decrement(int, unsigned char, int)
{
    return kNotSupported;
}

} // namespace sim
