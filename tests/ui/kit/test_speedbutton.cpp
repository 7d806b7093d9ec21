#include "ui/kit/speedbutton.h"

#include <QFont>
#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

namespace tev {
namespace {

// The brightest pixel of the button's caption, grabbed as it is painted.
int brightestCaptionPixel(SpeedButton &button)
{
    const QImage image = button.grab().toImage();
    int brightest = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            brightest = std::max(brightest, qGray(image.pixel(x, y)));
    return brightest;
}

TEST(PanelButton, ADisabledButtonIsPaintedDimmerThanAnEnabledOne)
{
    QWidget panel;
    panel.setStyleSheet(QStringLiteral("background: rgb(80, 80, 80);"));
    SpeedButton *button =
        makePanelButton(QStringLiteral("FinishBtn"), QStringLiteral("Finish"), QFont(), &panel);
    button->resize(80, 24);
    panel.show();
    const int enabled = brightestCaptionPixel(*button);
    button->setEnabled(false);
    const int disabled = brightestCaptionPixel(*button);
    EXPECT_GE(enabled, 250);
    EXPECT_LT(disabled, 200);
}

} // namespace
} // namespace tev
