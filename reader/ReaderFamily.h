// Version-text prefixes that identify a reader of the T7 family. The tool's
// port dialog accepts readers by these; the simulated readers report them.
#pragma once

#include <cstring>

namespace t7
{

// Accepted on USB and on a serial port.
constexpr const char *kPrefixT7 = "T7";
constexpr const char *kPrefixT6 = "T6";
constexpr const char *kPrefixKR = "KR";
constexpr const char *kPrefixQV = "QV";
// Accepted on a serial port only (the serial-only desktop model).
constexpr const char *kPrefixSerialOnly = "T5S";

inline bool startsWith(const char *text, const char *prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

inline bool acceptedOnUsb(const char *version)
{
    return startsWith(version, kPrefixT7) || startsWith(version, kPrefixT6) || startsWith(version, kPrefixKR) ||
           startsWith(version, kPrefixQV);
}

inline bool acceptedOnSerial(const char *version)
{
    return acceptedOnUsb(version) || startsWith(version, kPrefixSerialOnly);
}

} // namespace t7
