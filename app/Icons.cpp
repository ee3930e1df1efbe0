#include "app/Icons.h"

#include <QImageReader>
#include <QPixmap>

// The images are compiled into the static library; this reference keeps them
// linked in and registered.
static void registerIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace t7
{
namespace
{

const char *fileOf(IconId id)
{
    switch (id) {
    case IconId::Application:
        return ":/icons/app.png";
    case IconId::Reader:
        return ":/icons/reader.png";
    case IconId::TreeOperation:
        return ":/icons/tree-operation.png";
    case IconId::TreeFamily:
        return ":/icons/tree-family.png";
    case IconId::TreeCardType:
        return ":/icons/tree-cardtype.png";
    case IconId::TreeProtocol:
        return ":/icons/tree-protocol.png";
    case IconId::OpenPort:
        return ":/icons/tb-open.png";
    case IconId::DeviceOperation:
        return ":/icons/tb-device.png";
    case IconId::CardType:
        return ":/icons/tb-cardtype.png";
    case IconId::ClosePort:
        return ":/icons/tb-close.png";
    case IconId::ChooseDevice:
        return ":/icons/tb-choose.png";
    case IconId::About:
        return ":/icons/tb-about.png";
    }
    return "";
}

} // namespace

// A QIcon given a file name probes every image plugin on the system for it,
// which costs more start-up time than the frame's own widgets.
QPixmap pngPixmap(const QString &file)
{
    QImageReader reader(file, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon icon(IconId id)
{
    static const bool registered = (registerIconResources(), true);
    (void)registered;
    QIcon result(pngPixmap(QString::fromLatin1(fileOf(id))));
    if (id == IconId::Application)
        result.addPixmap(pngPixmap(QStringLiteral(":/icons/app32.png")));
    return result;
}

} // namespace t7
