#include "app/ArrowIconStyle.h"

#include "app/Icons.h"

#include <QFile>
#include <QGuiApplication>
#include <QStyleOption>

#include <initializer_list>

namespace
{

// Qt's own arrow pictures at each size it ships; an empty icon when this Qt
// has none under these names, so the base style answers as before.
QIcon arrowIcon(const char *stem, std::initializer_list<int> sizes)
{
    QIcon icon;
    for (const int size : sizes) {
        const QString file =
            QStringLiteral(":/qt-project.org/styles/commonstyle/images/%1-%2.png").arg(QLatin1String(stem)).arg(size);
        if (QFile::exists(file))
            icon.addPixmap(t7::pngPixmap(file));
    }
    return icon;
}

} // namespace

ArrowIconStyle::ArrowIconStyle()
    : horizontal_(arrowIcon("toolbar-ext-h", {8, 16, 32})), horizontalRtl_(arrowIcon("toolbar-ext-h-rtl", {8, 16, 32})),
      vertical_(arrowIcon("toolbar-ext-v", {5, 10, 20}))
{
}

QIcon ArrowIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option, const QWidget *widget) const
{
    const bool rightToLeft = (option ? option->direction : QGuiApplication::layoutDirection()) == Qt::RightToLeft;
    const QIcon *own = nullptr;
    if (standardIcon == SP_ToolBarHorizontalExtensionButton)
        own = rightToLeft ? &horizontalRtl_ : &horizontal_;
    else if (standardIcon == SP_ToolBarVerticalExtensionButton)
        own = &vertical_;
    if (own && !own->isNull())
        return *own;
    return QProxyStyle::standardIcon(standardIcon, option, widget);
}
