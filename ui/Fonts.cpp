#include "ui/Fonts.h"

#include <QFont>

namespace t7
{
namespace
{

QFont makeFont(const char *family, QFont::Weight weight)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSize(11);
    font.setWeight(weight);
    // Let fontconfig substitute a family that exists here.
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

const QFont &boldFont()
{
    static const QFont font = makeFont("MS sans Serif", QFont::Bold);
    return font;
}

const QFont &normalFont()
{
    static const QFont font = makeFont("System", QFont::Normal);
    return font;
}

} // namespace t7
