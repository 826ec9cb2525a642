#include "platform/ControlArray.h"
#include "platform/TextBox.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include <memory>

#include <gtest/gtest.h>

namespace {

void ReturnToEventLoop()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(ControlArray, LoadsCopiesOfElementZeroIntoItsContainer)
{
    QWidget window;
    auto* first = new platform::TextBox(&window);
    first->setGeometry(10, 20, 120, 24);
    first->setEnabled(false);
    platform::ControlArray<platform::TextBox> boxes(first);
    std::vector<int> wired;
    boxes.SetLoadHandler([&](platform::TextBox&, int index) { wired.push_back(index); });

    platform::TextBox* second = boxes.Load(1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->parentWidget(), &window);
    EXPECT_EQ(second->geometry(), first->geometry());
    EXPECT_FALSE(second->isEnabled());
    EXPECT_TRUE(second->isHidden()) << "a loaded element stays hidden until shown";
    EXPECT_EQ(boxes.Load(1), nullptr) << "an element is loaded once";
    EXPECT_EQ(boxes.Load(-1), nullptr);
    EXPECT_NE(boxes.Load(5), nullptr);
    EXPECT_EQ(boxes.Indexes(), (std::vector<int>{0, 1, 5}));
    EXPECT_EQ(boxes.UBound(), 5);
    EXPECT_EQ(wired, (std::vector<int>{1, 5}));
}

TEST(ControlArray, AnUnloadedElementLeavesAtOnceAndIsDeletedBackInTheEventLoop)
{
    QWidget window;
    platform::ControlArray<platform::TextBox> boxes(new platform::TextBox(&window));
    const QPointer<platform::TextBox> loaded = boxes.Load(1);
    ASSERT_TRUE(boxes.Exists(1));

    // Unloaded from inside its own handler, as a window may do.
    loaded->OnChange = [&] { boxes.Unload(1); };
    loaded->SetText("gone");
    EXPECT_FALSE(boxes.Exists(1));
    EXPECT_EQ(boxes.At(1), nullptr);
    EXPECT_NE(loaded, nullptr) << "still alive while its handler runs";
    ReturnToEventLoop();
    EXPECT_EQ(loaded, nullptr);

    boxes.Unload(0);
    EXPECT_TRUE(boxes.Exists(0)) << "element 0 belongs to the window";
    EXPECT_NE(boxes.Load(1), nullptr) << "an unloaded index can be loaded again";
}

TEST(ControlArray, AnElementDestroyedWithItsWindowNoLongerExists)
{
    auto window = std::make_unique<QWidget>();
    platform::ControlArray<platform::TextBox> boxes(new platform::TextBox(window.get()));
    boxes.Load(1);
    window.reset();
    EXPECT_FALSE(boxes.Exists(0));
    EXPECT_FALSE(boxes.Exists(1));
    EXPECT_EQ(boxes.Load(2), nullptr) << "nothing to copy any more";
}

} // namespace
