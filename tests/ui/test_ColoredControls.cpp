#include "ui/ColoredControls.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

QColor pixelOf(QWidget &widget, QPoint at)
{
    return widget.grab().toImage().pixelColor(at);
}

} // namespace

TEST(ColoredControls, LabelsDrawTheirTextColourOnLightGreen)
{
    struct Case {
        std::unique_ptr<QLabel> label;
        QColor text;
    };
    Case cases[] = {{std::make_unique<CBlueStatic>(), QColor(0, 0, 255)},
                    {std::make_unique<CRedStatic>(), QColor(255, 0, 0)},
                    {std::make_unique<CGreenStatic>(), QColor(0, 255, 0)}};
    for (Case &c : cases) {
        c.label->setText("ABC");
        c.label->resize(80, 20);
        EXPECT_EQ(c.label->palette().color(QPalette::WindowText), c.text);
        EXPECT_EQ(pixelOf(*c.label, QPoint(78, 18)), QColor(240, 255, 240));
        // Some pixel of the text carries the text colour.
        const QImage image = c.label->grab().toImage();
        bool found = false;
        for (int y = 0; y < image.height() && !found; ++y)
            for (int x = 0; x < image.width() && !found; ++x)
                found = image.pixelColor(x, y) == c.text;
        EXPECT_TRUE(found) << c.text.name().toStdString();
    }
}

TEST(ColoredControls, TheListBoxIsBlueOnWhite)
{
    CBlueListBox list;
    EXPECT_EQ(list.palette().color(QPalette::Text), QColor(0, 0, 255));
    EXPECT_EQ(list.palette().color(QPalette::Base), QColor(255, 255, 255));
}
