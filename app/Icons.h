// The tool's own images: application, toolbar, tree and reader icons.
#pragma once

#include <QIcon>
#include <QPixmap>

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

// A PNG file (or resource) read without probing the image plugins for it.
QPixmap pngPixmap(const QString &file);

} // namespace t7
