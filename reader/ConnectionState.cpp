#include "reader/ConnectionState.h"

namespace t7
{

void ConnectionState::reset()
{
    deviceHandle = 0;
    portOpen = 0;
    readers = {};
    readerCount = 0;
    cardTypeSetting = kTypeA;
    serialLink = 0;
}

ConnectionState &connection()
{
    static ConnectionState state;
    return state;
}

} // namespace t7
