// The main window on a laptop screen: at 1280 x 721 (the client area of a 1366 x 768 screen) and
// smaller, with a master and a work project open, every page shows whole or scrolls, and the
// status line stays in sight.

#include "mainwindowfixture.h"

#include "ui/keys.h"

#include <QAbstractScrollArea>
#include <QFrame>
#include <QImage>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

namespace tev::test {
namespace {

QString describe(const QWidget *widget)
{
    const QRect r = widget->geometry();
    return QStringLiteral("%1 (%2) %3,%4 %5x%6")
        .arg(widget->objectName(), QString::fromLatin1(widget->metaObject()->className()))
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height());
}

// Whether the widget is the contents of a scroll area (or inside them): scrolling reaches it,
// so it may lie outside the area.
bool scrolledContent(const QWidget *widget, const QWidget *window)
{
    for (const QWidget *w = widget; w && w != window; w = w->parentWidget()) {
        const QWidget *parent = w->parentWidget();
        const auto *area =
            parent ? qobject_cast<const QAbstractScrollArea *>(parent->parentWidget()) : nullptr;
        if (area && area->viewport() == parent)
            return true;
    }
    return false;
}

// Every visible widget that lies, even in part, outside the window or outside its parent.
QStringList cutWidgets(QWidget &window)
{
    QStringList cut;
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (widget->isWindow() || !widget->isVisibleTo(&window) || widget->size().isEmpty() ||
            scrolledContent(widget, &window))
            continue;
        const QRect inWindow(widget->mapTo(&window, QPoint(0, 0)), widget->size());
        if (!window.rect().contains(inWindow))
            cut << QStringLiteral("outside the window: ") + describe(widget);
        else if (!widget->parentWidget()->rect().contains(widget->geometry()))
            cut << QStringLiteral("outside %1: %2")
                       .arg(widget->parentWidget()->objectName(), describe(widget));
    }
    return cut;
}

class WindowFit : public SequenceWindowTest, public ::testing::WithParamInterface<QSize>
{
protected:
    void SetUp() override
    {
        // The fixture's pictures are tiny, their points far outside them; a picture of a
        // size that holds the points puts the marker on it.
        QImage picture(400, 300, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        for (const char *name : {"Masters/bore.png", "Work/bore.png"})
            ASSERT_TRUE(picture.save(m_seq.file(QString::fromLatin1(name))));
        start();
        createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
        // Every page, the service page included.
        pressKey(form().Tree(), Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
    }

    // Shows every page at the size and checks what the window shows of it.
    void checkEveryPage(const QString &opened)
    {
        TTevMainForm &w = form();
        QTabWidget *pages = w.PageCtrl();
        for (int i = 0; i < pages->count(); ++i) {
            if (!pages->isTabVisible(i))
                continue;
            pages->setCurrentIndex(i);
            QCoreApplication::processEvents();
            const QString where =
                opened + QLatin1Char('/') + pages->widget(i)->objectName() + QLatin1Char(' ');
            EXPECT_EQ(w.size(), GetParam()) << where.toStdString();
            const QStringList cut = cutWidgets(w);
            EXPECT_TRUE(cut.isEmpty()) << where.toStdString() << cut.join('\n').toStdString();
            auto *status = child<QFrame>("PnlInfo");
            EXPECT_TRUE(status->isVisible());
            EXPECT_TRUE(w.rect().contains(QRect(status->mapTo(&w, QPoint()), status->size())))
                << where.toStdString();
            EXPECT_TRUE(child<QLabel>("LDatabaseStatus")->isVisible());
        }
    }
};

TEST_P(WindowFit, EveryPageShowsWholeOrScrollsWithTheStatusLineInSight)
{
    DialogAnswers answers;
    TTevMainForm &w = form();
    w.resize(GetParam());
    w.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.PageCtrl()->isTabVisible(4));

    click(SequenceTree::Housing);
    ASSERT_EQ(project().Generator(), QStringLiteral("Ombrix"));
    checkEveryPage(QStringLiteral("master"));

    click(QStringLiteral("Work/W1.seq"));
    ASSERT_TRUE(project().ExistsInDatabase());
    checkEveryPage(QStringLiteral("work"));
    EXPECT_TRUE(answers.texts().isEmpty()) << answers.texts().join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Sizes, WindowFit, ::testing::Values(QSize(1280, 721), QSize(1024, 600)),
                         [](const auto &info) {
                             return std::to_string(info.param.width()) + "x" +
                                    std::to_string(info.param.height());
                         });

class SmallWindow : public SequenceWindowTest
{
};

// A page that needs more room than a small window has scrolls to its last control.
TEST_F(SmallWindow, TheProjectPageScrollsToItsCoverPicture)
{
    TTevMainForm &w = start();
    createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
    w.resize(1024, 600);
    w.show();
    click(QStringLiteral("Work/W1.seq"));
    w.PageCtrl()->setCurrentIndex(0);
    QCoreApplication::processEvents();
    auto *scroll = child<QScrollArea>("PrjScroll");
    ASSERT_NE(scroll, nullptr);
    EXPECT_TRUE(scroll->isEnabled());
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
    QWidget *cover = child<QWidget>("PnlPrjImage");
    scroll->ensureWidgetVisible(cover, 0, 0);
    QCoreApplication::processEvents();
    const QRect inView(cover->mapTo(scroll->viewport(), QPoint()), cover->size());
    EXPECT_TRUE(scroll->viewport()->rect().contains(inView));
}

} // namespace
} // namespace tev::test
