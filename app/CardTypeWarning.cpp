#include "app/CardTypeWarning.h"

#include "reader/ConnectionState.h"
#include "ui/MessageSeam.h"

namespace t7
{
namespace
{

QString settingName(int setting)
{
    switch (setting) {
    case kTypeA:
        return QString::fromUtf8("\u201cTYPEA\u201d");
    case kTypeB:
        return QString::fromUtf8("\u201cTYPEB\u201d");
    case kIso15693:
        return QString::fromUtf8("\u201cISO15693\u201d");
    default:
        return QString();
    }
}

} // namespace

QString cardTypeWarningText(int required)
{
    return QString::fromUtf8("Operation maybe faile before setting Card-Type,please set it as follow:\n "
                             "\u201cDevice operation\u201d --- \u201cCard Setting\u201d ---") +
           settingName(required);
}

void cardTypeWarning(int required)
{
    if (connection().cardTypeSetting != required)
        appBox(cardTypeWarningText(required));
}

} // namespace t7
