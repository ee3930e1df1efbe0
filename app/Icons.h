// The tool's own images: application, toolbar, tree and reader icons.
#pragma once

#include <QIcon>

namespace t7
{

enum class IconId {
    Application,
    Reader,
    TreeOperation,
    TreeFamily,
    TreeCardType,
    TreeProtocol,
    OpenPort,
    DeviceOperation,
    CardType,
    ClosePort,
    ChooseDevice,
    About,
};

QIcon icon(IconId id);

} // namespace t7
