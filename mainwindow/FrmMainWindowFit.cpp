// The window's own size: large enough for its layout, within the work area.
#include "foundation/DayLog.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/WindowFit.h"
#include "platform/Screens.h"
#include "platform/base/Twips.h"

#include <QMenuBar>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Without a screen to ask, a size no layout of four outputs exceeds.
constexpr int NoScreenLimit = 8192;
// A play list is given room for several rows where the work area allows;
// the layout's lowest list height shows only two or three.
constexpr int RoomyListHeight = 3 * WindowLayout::MinListHeight;

// The first of length pixels starting at want, moved as little as it takes to
// lie within [from, from + room), or at from where it is longer than room.
int Within(int want, int length, int from, int room)
{
    return std::max(from, std::min(want, from + room - length));
}

} // namespace

void FrmMain::FitToLayout(Fit fit)
{
    const int p = basic::TwipsPerPixel;
    if (p <= 0 || WindowState() != platform::StateNormal) {
        return;
    }
    const QRect workArea = platform::WorkArea(this);
    const QRect area = workArea.isEmpty() ? QRect(0, 0, NoScreenLimit, NoScreenLimit) : workArea;
    const QMargins margins = FrameMargins();
    const QSize frame(margins.left() + margins.right(), margins.top() + margins.bottom());
    const int menuHeight = MenuBar->sizeHint().height();
    // The inside that the work area leaves for the layout, pixels.
    const QSize room(std::max(1, area.width() - frame.width()),
                     std::max(1, area.height() - frame.height() - menuHeight));

    WindowLayout::Input input = LayoutInput();
    const WindowFit::Size needed =
        WindowFit::Needed(input, {room.width() * p, room.height() * p}, p, RoomyListHeight);
    input.ScaleWidth = room.width() * p;
    input.ScaleHeight = room.height() * p;
    QSize outer = frame + QSize((needed.ScaleWidth + p - 1) / p, (needed.ScaleHeight + p - 1) / p + menuHeight);
    if (!WindowFit::Fits(input)) {
        // The layout's sizes stay: the window takes the whole work area and
        // the operator learns, once a run, what of each output lies outside
        // across and what below (which column or row comes first may change
        // with the frame the window manager gives).
        outer = area.size();
        std::vector<std::string> fresh;
        for (const WindowFit::Misfit& misfit : WindowFit::Misfits(input)) {
            const std::string key =
                "output " + std::to_string(misfit.Output + 1) + (misfit.Across ? " across" : " below");
            if (std::find(misfitsLogged_.begin(), misfitsLogged_.end(), key) == misfitsLogged_.end()) {
                misfitsLogged_.push_back(key);
                if (std::find(fresh.begin(), fresh.end(), misfit.Name) == fresh.end()) {
                    fresh.push_back(misfit.Name);
                }
            }
        }
        if (!fresh.empty()) {
            std::string outside;
            for (const std::string& name : fresh) {
                outside += (outside.empty() ? "" : "; ") + name;
            }
            basic::WriteLog("Window: the layout needs more than the work area of " + std::to_string(area.width()) +
                                " x " + std::to_string(area.height()) + " pixels; outside the window: " + outside,
                            0, 0);
        }
    }
    if (fit == Fit::Grow) {
        outer = outer.expandedTo(QSize(Width() / p, Height() / p));
    }
    // The frame inside the work area, its title bar on the screen.
    const int left = Within(Left() / p, outer.width(), area.left(), area.width());
    const int top = Within(Top() / p, outer.height(), area.top(), area.height());
    Move(left * p, top * p, outer.width() * p, outer.height() * p);
}
