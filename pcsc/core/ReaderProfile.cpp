#include "pcsc/core/ReaderProfile.h"

namespace pcsc
{
namespace
{

bool nameHasAny(const std::string &name, std::initializer_list<const char *> parts)
{
    for (const char *part : parts)
        if (name.find(part) != std::string::npos)
            return true;
    return false;
}

} // namespace

ReaderProfile profileForReader(const std::string &name)
{
    ReaderProfile profile;
    if (nameHasAny(name, {"ACR122", "ACR1222", "ACR1251", "ACR1252", "ACR1255", "ACR1281", "ACR1283", "ACR1311"})) {
        profile.value = ValueCommands::Acs;
        profile.acsBuzzer = true;
    }
    // vpcd's readers: the project's virtual card answers the ACS value forms.
    if (nameHasAny(name, {"Virtual PCD"}))
        profile.value = ValueCommands::Acs;
    if (nameHasAny(name, {"ACR38", "ACR39", "ACR3901", "ACR40"}))
        profile.acsMemoryCards = true;
    return profile;
}

} // namespace pcsc
