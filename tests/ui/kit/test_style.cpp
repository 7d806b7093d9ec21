#include "ui/kit/colors.h"
#include "ui/kit/fonts.h"
#include "ui/kit/style.h"

#include <QApplication>
#include <QFontInfo>
#include <QStyle>
#include <gtest/gtest.h>

namespace tev {
namespace {

TEST(Style, KelMSlateGrayIsFusionWithTheSlatePalette)
{
    QApplication &app = *qApp;
    EXPECT_FALSE(trySetStyle(app, QStringLiteral("NoSuchStyle")));
    ASSERT_TRUE(trySetStyle(app, QStringLiteral("KelMSlateGray")));
    EXPECT_EQ(app.style()->name().toLower(), QStringLiteral("fusion"));
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(palette.color(QPalette::Window), QColor(59, 59, 59));
    EXPECT_EQ(palette.color(QPalette::Highlight), colorFromValue(clVYXSelected));
    EXPECT_EQ(styledPanelColor(), QColor(59, 59, 59));
}

struct FontCase
{
    const char *name;
    FontFace face;
    int pixelSize;
};

class DialogFont : public ::testing::TestWithParam<FontCase>
{
};

TEST_P(DialogFont, FallsBackToDejaVuSansAtThePixelSize)
{
    const QFont font = dialogFont(GetParam().face, GetParam().pixelSize);
    EXPECT_EQ(font.pixelSize(), GetParam().pixelSize);
    const QFontInfo info(font);
    EXPECT_EQ(info.pixelSize(), GetParam().pixelSize);
    // Neither designed face is installed on a Debian machine.
    if (info.family() != QLatin1String("Tahoma") && info.family() != QLatin1String("Segoe UI")) {
        EXPECT_EQ(info.family(), QStringLiteral("DejaVu Sans"));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DialogFont,
                         ::testing::Values(FontCase{"Tahoma13", FontFace::Tahoma, 13},
                                           FontCase{"SegoeUI11", FontFace::SegoeUI, 11},
                                           FontCase{"SegoeUI13", FontFace::SegoeUI, 13}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace tev
