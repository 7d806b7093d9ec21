#include "ui/kit/keypreview.h"

#include "ui/keys.h"
#include "ui/printers.h"
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace tev {
namespace {

struct KeyCase
{
    const char *name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    DialogKey expected;
};

class ClassifyKey : public ::testing::TestWithParam<KeyCase>
{
};

TEST_P(ClassifyKey, MapsTheDialogKeys)
{
    const KeyCase &c = GetParam();
    QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers);
    EXPECT_EQ(classifyKey(event), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClassifyKey,
    ::testing::Values(KeyCase{"Return", Qt::Key_Return, {}, DialogKey::Enter},
                      KeyCase{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier, DialogKey::Enter},
                      KeyCase{"Escape", Qt::Key_Escape, {}, DialogKey::Escape},
                      KeyCase{"CancelKey", Qt::Key_Cancel, {}, DialogKey::Cancel},
                      KeyCase{"CtrlBreak", Qt::Key_Pause, Qt::ControlModifier, DialogKey::Cancel},
                      KeyCase{"PauseAlone", Qt::Key_Pause, {}, DialogKey::Other},
                      KeyCase{"LetterA", Qt::Key_A, {}, DialogKey::Other}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(KeyPreviewFilter, SeesEveryPressOnceWhateverChildReceivesIt)
{
    QWidget form;
    auto *layout = new QVBoxLayout(&form);
    auto *edit = new QLineEdit(&form);
    auto *combo = new QComboBox(&form);
    layout->addWidget(edit);
    layout->addWidget(combo);
    QWidget other;
    QList<int> seen;
    new KeyPreviewFilter(&form, [&seen](QKeyEvent &e) { seen.append(e.key()); });

    // A line edit ignores Return, so Qt hands the press on to the form: still one call.
    QTest::keyClick(edit, Qt::Key_Return);
    test::pressKey(combo, Qt::Key_Cancel);
    QTest::keyClick(&form, Qt::Key_Escape);
    QTest::keyClick(&other, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_X);
    EXPECT_EQ(seen, (QList<int>{Qt::Key_Return, Qt::Key_Cancel, Qt::Key_Escape, Qt::Key_X}));
    // The key is passed on: the edit still got its letter.
    EXPECT_EQ(edit->text(), QStringLiteral("x"));
}

} // namespace
} // namespace tev
