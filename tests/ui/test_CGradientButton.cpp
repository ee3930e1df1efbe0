#include "ui/CGradientButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

// A 100 x 30 button: its face runs from (2, 2) to (97, 27), 26 rows high.
class GradientButtonTest : public ::testing::Test
{
protected:
    GradientButtonTest()
    {
        button.resize(100, 30);
        other.move(0, 40);
        window.resize(120, 80);
        window.show();
        QApplication::setActiveWindow(&window);
    }

    QImage picture() { return button.grab().toImage(); }
    QColor at(const QImage &image, int x, int y) { return image.pixelColor(x, y); }

    void enter()
    {
        QEnterEvent event(QPointF(50, 15), QPointF(50, 15), button.mapToGlobal(QPointF(50, 15)));
        QApplication::sendEvent(&button, &event);
    }
    void leave()
    {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(&button, &event);
    }

    QWidget window;
    CGradientButton button{&window};
    QPushButton other{&window};
};

const QColor kHoverLeft(250, 196, 88);
const QColor kHoverBottom(229, 151, 0);
const QColor kFocusLeft(153, 198, 252);
const QColor kFocusRight(162, 189, 252);

} // namespace

TEST_F(GradientButtonTest, TheFaceRunsFromWhiteDownToTheLastGradientColour)
{
    other.setFocus();
    const QImage image = picture();
    // Row y of the face takes colour y * 63 / 26; no highlight, no hover: (a, a, c).
    EXPECT_EQ(at(image, 20, 2), QColor(255, 255, 255));
    EXPECT_EQ(at(image, 20, 2 + 13), QColor(255 - 31 / 3, 255 - 31 / 3, 255 - 31 / 5));
    EXPECT_EQ(at(image, 20, 2 + 25), QColor(255 - 60 / 3, 255 - 60 / 3, 255 - 60 / 5));
    EXPECT_EQ(at(image, 0, 15), QColor(0, 0, 0)); // the boundary
}

TEST_F(GradientButtonTest, RestingTheMouseOnItDrawsTheOrangeFrameAndLeavingRemovesIt)
{
    other.setFocus();
    EXPECT_NE(at(picture(), 2, 15), kHoverLeft);

    QTest::mouseMove(&button, QPoint(50, 15));
    enter();
    EXPECT_TRUE(button.hovered());
    EXPECT_TRUE(button.tracking());
    QImage image = picture();
    EXPECT_EQ(at(image, 2, 15), kHoverLeft);
    EXPECT_EQ(at(image, 50, 28), kHoverBottom);

    leave();
    EXPECT_FALSE(button.hovered());
    EXPECT_FALSE(button.tracking());
    image = picture();
    EXPECT_NE(at(image, 2, 15), kHoverLeft);
    EXPECT_NE(at(image, 50, 28), kHoverBottom);
}

TEST_F(GradientButtonTest, AFocusedButtonAwayFromTheMouseShowsTheBlueFrameAndDottedRectangle)
{
    button.setFocus();
    ASSERT_TRUE(button.hasFocus());
    const QImage image = picture();
    EXPECT_TRUE(button.drewFocus());
    EXPECT_TRUE(button.drewHighlight());
    EXPECT_EQ(at(image, 1, 15), kFocusLeft);
    EXPECT_EQ(at(image, 97, 15), kFocusRight);
    // The dotted focus rectangle along the top of the face: black and lighter dots alternate.
    int black = 0, other = 0;
    for (int x = 20; x < 40; ++x)
        (at(image, x, 2) == QColor(0, 0, 0) ? black : other)++;
    EXPECT_GT(black, 5);
    EXPECT_GT(other, 5);

    // Under the mouse the hover frame wins.
    enter();
    const QImage hovered = picture();
    EXPECT_EQ(at(hovered, 1, 15), kHoverLeft);
}

TEST_F(GradientButtonTest, ADisabledButtonGreysItsText)
{
    other.setFocus();
    button.setText("WWWW");
    auto darkest = [](const QImage &image) {
        int lowest = 255 * 3;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 3; x < image.width() - 3; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (y > 3 && y < image.height() - 3)
                    lowest = std::min(lowest, c.red() + c.green() + c.blue());
            }
        return lowest;
    };
    const int enabled = darkest(picture());
    button.setEnabled(false);
    const int disabled = darkest(picture());
    EXPECT_LT(enabled, 100);
    EXPECT_GT(disabled, enabled + 100);
}

TEST_F(GradientButtonTest, PressingMovesTheTextOnePixel)
{
    other.setFocus();
    button.setText("I");
    auto firstDarkColumn = [](const QImage &image) {
        for (int x = 3; x < image.width() - 3; ++x)
            for (int y = 4; y < image.height() - 4; ++y)
                if (image.pixelColor(x, y).lightness() < 100)
                    return x;
        return -1;
    };
    const int released = firstDarkColumn(picture());
    button.setDown(true);
    const int pressed = firstDarkColumn(picture());
    ASSERT_GT(released, 0);
    EXPECT_EQ(pressed, released + 1);
}
