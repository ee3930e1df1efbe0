// How the panels read a reader library result: as a signed 16-bit value, of
// which 0 is success (the library's upper bits are not part of the result).
#pragma once

namespace t7
{

inline bool succeeded(int result)
{
    return static_cast<short>(result) == 0;
}

} // namespace t7
