// The application's style: the platform's own, except that the tool-bar and
// menu-bar extension arrows are read as the PNGs they are. Qt's style reads
// them by file name, which makes it probe and load every image-format plugin
// on the system before the first frame; nothing else in the tool needs them.
#pragma once

#include <QProxyStyle>

class ArrowIconStyle : public QProxyStyle
{
public:
    ArrowIconStyle();

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;

private:
    QIcon horizontal_;
    QIcon horizontalRtl_;
    QIcon vertical_;
};
