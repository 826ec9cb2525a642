// The keyboard target on the assembled program, as the operator sees and uses
// it: its KEY lamp through the window's rebuilds, and the keys pressed with
// Alt or Ctrl held, which are shortcuts and never button keys.
#include "AssembledFixture.h"

#include "controls/UC_TextPicture.h"
#include "controls/UC_TolvButton.h"
#include "mainwindow/FrmMain.h"
#include "platform/DragData.h"

#include <QAction>
#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using apptest::AssembledFixture;

class KeyTarget : public AssembledFixture {
protected:
    QImage Lamp() { return Window().TextKey(0)->Picture().Image(); }
    void ClickLamp() { Click(Face(*Window().TextKey(0)), Qt::LeftButton); }
    void Assign(int button, const std::string& file, int seconds)
    {
        ASSERT_NE(DropFiles(Face(Button(0, button)), {RampWave(file, seconds * Rate)}), platform::DropEffectNone);
    }
};

TEST_F(KeyTarget, TheLampShowsTheTargetAfterDisplaySwitchesAndTheConfigurationsOk)
{
    ASSERT_TRUE(Start());
    Assign(0, "one.wav", 1);
    const QImage dark = Lamp();
    ClickLamp();
    ASSERT_EQ(State().KeyTarget, 0);
    const QImage lit = Lamp();
    ASSERT_NE(lit, dark);

    const std::vector<std::pair<std::string, std::function<void()>>> rebuilds{
        {"Large", [this] { Window().MenuDispBig->trigger(); }},
        {"Small", [this] { Window().MenuDispBig->trigger(); }},
        {"configuration OK", [this] { ASSERT_TRUE(Configure(1)); }},
    };
    for (const auto& [name, rebuild] : rebuilds) {
        SCOPED_TRACE(name);
        rebuild();
        QApplication::processEvents();
        ASSERT_EQ(State().KeyTarget, 0);
        const QImage shown = Lamp();
        if (State().DispBig == 0) {
            EXPECT_EQ(shown, lit);
        }
        // The target's buttons show their keys: Q heads the second row.
        EXPECT_EQ(Button(0, State().ModuleX[0]).Text(1), "Q");

        // A click on the lit lamp gives the keyboard up: dark, keys idle.
        ClickLamp();
        EXPECT_EQ(State().KeyTarget, -1);
        EXPECT_NE(Lamp(), shown);
        Key(Qt::Key_1);
        Run(50);
        EXPECT_EQ(State().OutputState[0], 0);
        // The next one takes it again, lit as the rebuild left it.
        ClickLamp();
        EXPECT_EQ(State().KeyTarget, 0);
        EXPECT_EQ(Lamp(), shown);
        Key(Qt::Key_1);
        Run(50);
        EXPECT_EQ(State().OutputState[0], 1);
        Key(Qt::Key_Escape);
        Run(300);
        ASSERT_EQ(State().OutputState[0], 0);
    }
}

} // namespace
