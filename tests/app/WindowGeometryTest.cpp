// The window's size and place on the assembled program, for every
// arrangement of the outputs, both displays and every back-end with the
// output counts it allows, on two work areas: the window grows to what its
// layout needs, keeps its frame inside the work area, and shows every control
// inside its inside; where the work area is too small it fills it and says
// once what does not fit.
#include "AssembledFixture.h"

#include "foundation/Parms.h"
#include "foundation/Registry.h"
#include "mainwindow/WindowLayout.h"
#include "platform/Screens.h"
#include "platform/base/Twips.h"
#include "support/Gallery.h"

#include <QApplication>

#include <gmock/gmock.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using apptest::AssembledFixture;

struct Arrangement {
    int backEnd = 3;
    int numOut = 1;
    std::vector<int> lists; // 1-based list outputs
    int layoutType = 0;     // the arrangement these settings give
    int buttonOrderHorizon = 1;
};

std::string Describe(const Arrangement& a)
{
    std::ostringstream text;
    text << "back-end " << a.backEnd << ", " << a.numOut << " output(s), lists {";
    for (const int list : a.lists) {
        text << ' ' << list;
    }
    text << " }, layout type " << a.layoutType;
    return text.str();
}

std::vector<Arrangement> Arrangements()
{
    std::vector<Arrangement> all;
    // One output only: a grid or a list.
    for (const int backEnd : {0, 1, 2, 5}) {
        all.push_back({backEnd, 1, {}, 0});
        all.push_back({backEnd, 1, {1}, 0});
    }
    for (const int backEnd : {3, 4}) {
        all.push_back({backEnd, 1, {}, 0});
        all.push_back({backEnd, 1, {1}, 0});
        all.push_back({backEnd, 2, {2}, 0});
        all.push_back({backEnd, 2, {}, 0, 0});
        all.push_back({backEnd, 2, {}, 1});
        all.push_back({backEnd, 2, {1, 2}, 2});
        all.push_back({backEnd, 3, {2, 3}, 3});
        all.push_back({backEnd, 3, {1, 2}, 4});
        all.push_back({backEnd, 3, {3}, 5});
        all.push_back({backEnd, 3, {1}, 6});
        all.push_back({backEnd, 3, {}, 7});
        all.push_back({backEnd, 3, {1, 2, 3}, 8});
        all.push_back({backEnd, 4, {2, 3, 4}, 9});
        all.push_back({backEnd, 4, {1, 2, 3}, 10});
        all.push_back({backEnd, 4, {}, 11});
        all.push_back({backEnd, 4, {1, 2, 3, 4}, 12});
        all.push_back({backEnd, 4, {1, 3}, 0});
    }
    return all;
}

class WindowGeometry : public AssembledFixture {
protected:
    void TearDown() override
    {
        platform::SetScreenExtentOverride(std::nullopt);
        AssembledFixture::TearDown();
    }

    // Starts the program on a work area of the given size with a small
    // window stored for both displays near the work area's far corner.
    bool StartOn(const QSize& area, const Arrangement& a, int dispBig)
    {
        platform::SetScreenExtentOverride(area);
        Store("PlayerType", std::to_string(a.backEnd));
        Store("ButtonOrderHorizon", std::to_string(a.buttonOrderHorizon));
        Store("DispBig", std::to_string(dispBig));
        const int p = basic::TwipsPerPixel > 0 ? basic::TwipsPerPixel : 15;
        for (const std::string suffix : {"", "_Big"}) {
            Store("WindowLeft" + suffix, std::to_string((area.width() - 200) * p));
            Store("WindowTop" + suffix, std::to_string((area.height() - 200) * p));
            Store("WindowWidth" + suffix, std::to_string(150 * p));
            Store("WindowHeight" + suffix, std::to_string(100 * p));
        }
        return Start(a.numOut, a.lists);
    }

    // The day log's lines that say a part of the layout lies outside the
    // window, without their time stamps.
    std::vector<std::string> MisfitTexts() const
    {
        std::vector<std::string> texts;
        for (const std::string& line : DayLogEntries()) {
            if (const std::size_t at = line.find("Window: the layout needs more"); at != std::string::npos) {
                texts.push_back(line.substr(at));
            }
        }
        return texts;
    }
    int MisfitLines() const { return static_cast<int>(MisfitTexts().size()); }

    // The controls of every output that lie outside the window's inside.
    std::vector<std::string> Outside()
    {
        FrmMain& window = Window();
        const QRect inside = window.rect();
        std::vector<std::string> outside;
        const auto check = [&](QWidget* control, const std::string& name) {
            if (control == nullptr || !control->isVisibleTo(&window)) {
                return;
            }
            const QRect place(control->mapTo(&window, QPoint(0, 0)), control->size());
            if (!inside.contains(place)) {
                std::ostringstream text;
                text << name << " at " << place.x() << "," << place.y() << " " << place.width() << "x" << place.height()
                     << " outside " << inside.width() << "x" << inside.height();
                outside.push_back(text.str());
            }
        };
        for (int output = 0; output < State().NumOut; ++output) {
            const auto o = static_cast<std::size_t>(output);
            const std::string of = "output " + std::to_string(output + 1) + " ";
            // Every player's strip: three one under another on the fading
            // back-ends.
            const int strips = State().PlayersPerOutput;
            for (int k = 0; k < strips; ++k) {
                check(window.PictureModule.At(output * strips + k),
                      of + "strip" + (strips > 1 ? " " + std::to_string(k + 1) : ""));
            }
            check(window.PictureLEDs.At(output), of + "status panels");
            check(window.PicturePage.At(output), of + "page selector");
            if (parms::IsList[o] != 0) {
                check(window.PictureCurrent.At(output), of + "current item");
                check(window.CtrlButton.At(output), of + "list buttons");
                check(window.LV.At(output), of + "list");
                continue;
            }
            for (int b = 0; b < State().ButtonsPerPage[o]; ++b) {
                check(window.TolvButton.At(output * State().ButtonsPerOutput + b),
                      of + "button " + std::to_string(b + 1));
            }
        }
        return outside;
    }

    // The lists show at least the layout's lowest list height.
    std::vector<std::string> ShortLists()
    {
        std::vector<std::string> shortLists;
        const int lowest = WindowLayout::MinListHeight / basic::TwipsPerPixel;
        for (int output = 0; output < State().NumOut; ++output) {
            const UC_ListView* list = Window().LV.At(output);
            if (parms::IsList[static_cast<std::size_t>(output)] != 0 && list != nullptr && list->height() < lowest) {
                shortLists.push_back("output " + std::to_string(output + 1) + " list " +
                                     std::to_string(list->height()) + " px high");
            }
        }
        return shortLists;
    }

    // What must hold in the display shown now.
    void ExpectPlacedWell(const QSize& areaSize, const std::string& what)
    {
        QApplication::processEvents();
        const QRect area(QPoint(0, 0), areaSize);
        const QRect frame = Window().frameGeometry();
        EXPECT_TRUE(area.contains(frame.topLeft()))
            << what << ": the title bar is off the work area at " << Text(frame);
        EXPECT_GE(frame.width(), 150) << what << ": the stored size shrank";
        EXPECT_GE(frame.height(), 100) << what << ": the stored size shrank";
        const std::vector<std::string> outside = Outside();
        const std::vector<std::string> shortLists = ShortLists();
        if (outside.empty() && shortLists.empty()) {
            EXPECT_TRUE(area.contains(frame)) << what << ": the frame reaches past the work area: " << Text(frame);
            return;
        }
        // Only a work area too small for the layout leaves parts out: the
        // window takes all of it and says what does not fit.
        EXPECT_EQ(Text(frame), Text(area))
            << what << ", parts left out: " << testing::PrintToString(outside) << testing::PrintToString(shortLists);
        EXPECT_GE(MisfitLines(), 1) << what << ": what does not fit is not said";
    }

    static std::string Text(const QRect& r)
    {
        return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
               std::to_string(r.height());
    }
};

TEST_F(WindowGeometry, TheLargeDisplayOfAThreePlayerBackEndShowsTheEighthButtonColumn)
{
    // A window stored for the normal display's smaller layout.
    ASSERT_TRUE(StartOn(QSize(1600, 1200), {0, 1, {}, 0}, 1));
    ASSERT_EQ(State().PlayersPerOutput, 3);
    testsupport::SaveToGallery(Window().grab().toImage(), "window-geometry-large-three-players");
    EXPECT_THAT(Outside(), testing::IsEmpty());
    EXPECT_THAT(MisfitTexts(), testing::IsEmpty());
    EXPECT_TRUE(QRect(0, 0, 1600, 1200).contains(Window().frameGeometry()));
}

TEST_F(WindowGeometry, TwoOutputsWithAListShowTheListBelowTheLargeGrid)
{
    ASSERT_TRUE(StartOn(QSize(1600, 1200), {3, 2, {2}, 0}, 1));
    testsupport::SaveToGallery(Window().grab().toImage(), "window-geometry-large-grid-and-list");
    EXPECT_THAT(Outside(), testing::IsEmpty());
    // The work area has room for more than the layout's lowest list: the
    // window takes the work area's height to give the list more rows.
    EXPECT_EQ(Window().frameGeometry().height(), 1200);
    EXPECT_GE(Window().LV.At(1)->height(), 2 * WindowLayout::MinListHeight / basic::TwipsPerPixel);
    EXPECT_TRUE(QRect(0, 0, 1600, 1200).contains(Window().frameGeometry())) << Text(Window().frameGeometry());
}

TEST_F(WindowGeometry, TheLargeDisplayWidensTheWindowWhereANarrowOneWouldPushTheListOffTheScreen)
{
    // 1920 x 1080 less a title bar: at the width the large grid needs, the
    // list's current-item panel would go under its page selector and push
    // the list below the screen; a wider window keeps it beside.
    const QSize area(1920, 1050);
    ASSERT_TRUE(StartOn(area, {3, 2, {2}, 0}, 0));
    Window().MenuDispBig->trigger();
    QApplication::processEvents();
    ASSERT_EQ(State().DispBig, 1);
    testsupport::SaveToGallery(Window().grab().toImage(), "window-geometry-large-grid-and-list-1920");
    EXPECT_THAT(Outside(), testing::IsEmpty());
    EXPECT_THAT(ShortLists(), testing::IsEmpty());
    EXPECT_THAT(MisfitTexts(), testing::IsEmpty());
    EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(Window().frameGeometry())) << Text(Window().frameGeometry());
}

TEST_F(WindowGeometry, WhatLiesOutsideIsNamedForEveryOutput)
{
    // The large grid is too wide for 1,280 pixels, and the list below it
    // lies below the screen: the log names both.
    ASSERT_TRUE(StartOn(QSize(1280, 1024), {3, 2, {2}, 0}, 0));
    Window().MenuDispBig->trigger();
    QApplication::processEvents();
    ASSERT_EQ(State().DispBig, 1);
    EXPECT_THAT(Outside(), testing::Contains(testing::HasSubstr("output 2 list")));
    EXPECT_THAT(MisfitTexts(),
                testing::ElementsAre(testing::ContainsRegex("output 1, button column 8; output 2, .*play list")));
}

// The large grid over a list on work areas a little and much too low: the
// list's rows alone lie out of view, or its current item, tool buttons and
// rows; the log names each of them and nothing in view.
struct LowArea {
    int height = 0;
    const char* outside = "";
};

class WhatLiesOutside : public WindowGeometry, public testing::WithParamInterface<LowArea> {};

TEST_P(WhatLiesOutside, IsNamedWholeAndNothingInView)
{
    const LowArea& low = GetParam();
    ASSERT_TRUE(StartOn(QSize(1280, low.height), {3, 2, {2}, 0}, 1));
    QApplication::processEvents();
    testsupport::SaveToGallery(Window().grab().toImage(), "window-geometry-outside-" + std::to_string(low.height));
    EXPECT_THAT(MisfitTexts(),
                testing::ElementsAre(testing::EndsWith(std::string("outside the window: ") + low.outside)));
    // The names agree with what the window shows.
    const std::vector<std::string> outside = Outside();
    for (const auto& [name, control] :
         {std::pair{"current item", "output 2 current item"}, std::pair{"list buttons", "output 2 list buttons"},
          std::pair{"play list", "output 2 list "}}) {
        const bool seenOutside = std::any_of(outside.begin(), outside.end(),
                                             [&](const std::string& part) { return part.starts_with(control); });
        EXPECT_EQ(seenOutside, std::string(low.outside).find(name) != std::string::npos)
            << name << " in " << testing::PrintToString(outside);
    }
}

INSTANTIATE_TEST_SUITE_P(
    LowWorkAreas, WhatLiesOutside,
    testing::Values(LowArea{1000, "output 1, button column 8; output 2, play list"},
                    LowArea{900, "output 1, button column 8; output 2, current item, list buttons and play list"}));

// A grid of one or two rows is lower than the three strips of the fading
// back-ends beside it: the window is as tall as the strips, in both displays.
struct ShortGrid {
    int backEnd = 0;
    int rows = 1;
};

class ShortGridBesideThreeStrips : public WindowGeometry, public testing::WithParamInterface<ShortGrid> {};

TEST_P(ShortGridBesideThreeStrips, TheWindowHoldsEveryStrip)
{
    const ShortGrid& grid = GetParam();
    Store("ModuleY_1", std::to_string(grid.rows));
    const QSize area(1600, 1000);
    ASSERT_TRUE(StartOn(area, {grid.backEnd, 1, {}, 0}, 0));
    ASSERT_EQ(State().PlayersPerOutput, 3);
    ASSERT_EQ(State().ModuleY[0], grid.rows);
    for (const int big : {0, 1}) {
        if (State().DispBig != big) {
            Window().MenuDispBig->trigger();
            QApplication::processEvents();
        }
        ASSERT_EQ(State().DispBig, big);
        const std::string what = std::string(big != 0 ? "large" : "small") + " display";
        testsupport::SaveToGallery(Window().grab().toImage(),
                                   "window-geometry-three-strips-backend" + std::to_string(grid.backEnd) + "-rows" +
                                       std::to_string(grid.rows) + (big != 0 ? "-large" : "-small"));
        EXPECT_THAT(Outside(), testing::IsEmpty()) << what;
        EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(Window().frameGeometry()))
            << what << ": " << Text(Window().frameGeometry());
    }
    EXPECT_THAT(MisfitTexts(), testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(FadingBackEnds, ShortGridBesideThreeStrips,
                         testing::Values(ShortGrid{0, 1}, ShortGrid{0, 2}, ShortGrid{1, 1}, ShortGrid{5, 2}));

TEST_F(WindowGeometry, AWorkAreaLowerThanTheThreeStripsNamesTheStripsBelowIt)
{
    Store("ModuleY_1", "1");
    ASSERT_TRUE(StartOn(QSize(1600, 420), {0, 1, {}, 0}, 1));
    testsupport::SaveToGallery(Window().grab().toImage(), "window-geometry-three-strips-low");
    EXPECT_THAT(MisfitTexts(), testing::ElementsAre(testing::EndsWith("outside the window: output 1, strip 3")));
    EXPECT_THAT(Outside(), testing::ElementsAre(testing::StartsWith("output 1 strip 3 ")));
}

TEST_F(WindowGeometry, MoreOutputsAfterConfigurationGrowTheWindowToShowThem)
{
    ASSERT_TRUE(StartOn(QSize(1600, 1200), {3, 1, {}, 0, 0}, 0)); // outputs one below the other
    const QRect before = Window().frameGeometry();
    Store("NumOut", "2");
    Window().ReapplyConfiguration();
    QApplication::processEvents();
    ASSERT_EQ(State().NumOut, 2);
    testsupport::SaveToGallery(Window().grab().toImage(), "window-geometry-second-output-after-configuration");
    EXPECT_THAT(Outside(), testing::IsEmpty());
    EXPECT_GT(Window().height(), before.height());
    EXPECT_TRUE(QRect(0, 0, 1600, 1200).contains(Window().frameGeometry())) << Text(Window().frameGeometry());
}

TEST_F(WindowGeometry, AWindowLargerThanItsLayoutNeedsKeepsTheOperatorsSizeAndPlace)
{
    platform::SetScreenExtentOverride(QSize(1600, 1200));
    Store("WindowLeft", "1500");
    Store("WindowTop", "750");
    Store("WindowWidth", "22500");
    Store("WindowHeight", "16500");
    ASSERT_TRUE(Start());
    EXPECT_EQ(Text(Window().frameGeometry()), Text(QRect(100, 50, 1500, 1100)));
    ASSERT_TRUE(Window().Unload());
    EXPECT_EQ(basic::RegRead("WindowWidth", "", "tolv"), "22500");
    EXPECT_EQ(basic::RegRead("WindowLeft", "", "tolv"), "1500");
}

TEST_F(WindowGeometry, AWorkAreaTooSmallForTheLayoutIsFilledAndWhatLiesOutsideIsSaidOnce)
{
    // The default grid at the large display's size factor needs more than
    // 1,280 pixels across with the strip of three players beside it.
    ASSERT_TRUE(StartOn(QSize(1280, 1024), {0, 1, {}, 0}, 1));
    EXPECT_EQ(Text(Window().frameGeometry()), Text(QRect(0, 0, 1280, 1024)));
    EXPECT_THAT(MisfitTexts(), testing::ElementsAre(testing::HasSubstr("output 1, button column")));
    // The parts keep their sizes: the buttons of the last column lie
    // (partly) outside rather than shrink.
    EXPECT_THAT(Outside(), testing::Not(testing::IsEmpty()));
    for (int i = 0; i < 2; ++i) {
        Window().MenuDispBig->trigger();
        Window().MenuDispBig->trigger();
    }
    EXPECT_EQ(MisfitLines(), 1) << "said once a run";
    EXPECT_EQ(Text(Window().frameGeometry()), Text(QRect(0, 0, 1280, 1024)));
}

struct Case {
    Arrangement arrangement;
    QSize area;
    int startBig = 0;
};

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    // Every case sees both displays; which one the program starts in
    // alternates.
    int startBig = 0;
    for (const QSize area : {QSize(1600, 1200), QSize(1280, 1024)}) {
        for (const Arrangement& arrangement : Arrangements()) {
            cases.push_back({arrangement, area, startBig});
            startBig = 1 - startBig;
        }
        startBig = 1 - startBig;
    }
    return cases;
}

class EveryArrangement : public WindowGeometry, public testing::WithParamInterface<Case> {};

TEST_P(EveryArrangement, GrowsToItsLayoutInBothDisplaysWithinTheWorkArea)
{
    const Case& c = GetParam();
    SCOPED_TRACE(Describe(c.arrangement) + " on " + std::to_string(c.area.width()) + " x " +
                 std::to_string(c.area.height()) + (c.startBig != 0 ? ", started large" : ""));
    ASSERT_TRUE(StartOn(c.area, c.arrangement, c.startBig));
    ASSERT_EQ(State().NumOut, c.arrangement.numOut);
    ASSERT_EQ(State().LayoutType, c.arrangement.layoutType);
    ExpectPlacedWell(c.area, c.startBig != 0 ? "large at start" : "small at start");
    const QRect started = Window().frameGeometry();
    const int misfitsAtStart = MisfitLines();
    EXPECT_LE(misfitsAtStart, 1) << "said once";

    // The other display, back, and once more to the other.
    Window().MenuDispBig->trigger();
    ASSERT_EQ(State().DispBig, c.startBig != 0 ? 0 : 1);
    ExpectPlacedWell(c.area, "after the switch");
    const QRect switched = Window().frameGeometry();
    EXPECT_LE(MisfitLines(), misfitsAtStart + 1) << "said once";
    Window().MenuDispBig->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Window().frameGeometry(), started) << "back in the first display, the window is where it was";
    Window().MenuDispBig->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Window().frameGeometry(), switched) << "in the other display again, the window is where it was";
    EXPECT_THAT(MisfitTexts(), testing::Each(testing::Truly([this](const std::string& line) {
                    const std::vector<std::string> all = MisfitTexts();
                    return std::count(all.begin(), all.end(), line) == 1;
                })))
        << "each part that does not fit is said once";
}

std::string CaseName(const testing::TestParamInfo<Case>& info)
{
    const Case& c = info.param;
    std::string name =
        "BackEnd" + std::to_string(c.arrangement.backEnd) + "Out" + std::to_string(c.arrangement.numOut) + "Lists";
    for (const int list : c.arrangement.lists) {
        name += std::to_string(list);
    }
    name += "Type" + std::to_string(c.arrangement.layoutType) + "Order" +
            std::to_string(c.arrangement.buttonOrderHorizon) + "On" + std::to_string(c.area.width()) +
            (c.startBig != 0 ? "Large" : "Small");
    return name;
}

INSTANTIATE_TEST_SUITE_P(Layouts, EveryArrangement, testing::ValuesIn(Cases()), CaseName);

} // namespace
