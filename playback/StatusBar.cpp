#include "playback/StatusBar.h"

#include "foundation/Language.h"
#include "foundation/ServerFolders.h"
#include "foundation/TimeStamps.h"
#include "foundation/Waits.h"
#include "mainwindow/FrmMain.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Clock.h"
#include "platform/base/Numbers.h"

#include <QMenuBar>

#include <cmath>
#include <cstdio>

namespace {

constexpr double MinimumInterval = 0.2;
constexpr int TextTop = 4;
constexpr platform::Color AlertColor = 0x0000FF;  // red
constexpr platform::Color NormalColor = 0x202020; // dark grey
constexpr double CentisecondsPerMinute = 6000.0;

std::string OneDecimal(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", numeric::RoundHalfEven(seconds * 10.0) / 10.0);
    return text;
}

double SecondsSince(double start, double now)
{
    double elapsed = now - start;
    if (elapsed < 0.0) {
        elapsed += 86400.0;
    }
    return elapsed;
}

} // namespace

StatusBar::Line StatusBar::Compose(const Inputs& inputs)
{
    Line line;
    line.text = inputs.stamp;
    if (inputs.showCache) {
        line.text += " / ";
        if (inputs.allCached == 1) {
            line.text += basic::LangText("キャッシュOK", "All Chached");
        } else {
            line.text += basic::LangText("未キャッシュ素材あり", "Not All Chached");
            line.alert = true;
        }
    }
    line.text += " / ";
    if (inputs.invalidIncluded != 0) {
        line.text += basic::LangText("無効素材あり", "Invalid File Included");
        line.alert = true;
    } else {
        line.text += basic::LangText("素材OK", "Files Valid");
    }
    for (std::size_t i = 0; i < inputs.boxes.size(); ++i) {
        const RemotePort::HidBoxState& box = inputs.boxes[i];
        if (box.Used <= 0) {
            continue;
        }
        line.text += " / " + basic::LangText("USBリモコン", "USB Controller") + std::to_string(i + 1) + " ";
        if (box.OK != 1) {
            line.text += basic::LangText("停止", "Stopped");
            line.alert = true;
        } else if (box.ResetStart == 0.0F) {
            line.text += basic::LangText("正常", "OK");
        } else {
            const double left = box.ResetWait - SecondsSince(box.ResetStart, inputs.secondsOfDay);
            line.text += basic::LangText("リセット中…", "Restarting...") + OneDecimal(left);
            line.alert = true;
        }
    }
    return line;
}

int StatusBar::TickerX(int width, int textWidth, double secondsOfDay)
{
    const double centis = std::fmod(numeric::Int(secondsOfDay * 100.0), CentisecondsPerMinute);
    return static_cast<int>(numeric::RoundToInt64(width - centis / CentisecondsPerMinute * width - textWidth));
}

void StatusBar::DrawStatusBar()
{
    MainState& state = window_.State;
    if (state.ShowObservation == 0) {
        return;
    }
    const double now = platform::Timer();
    if (lastStatusTime_ >= 0.0 && basic::ElapsedSince(lastStatusTime_, 0) < MinimumInterval) {
        return;
    }
    lastStatusTime_ = now;

    Inputs inputs;
    inputs.stamp = basic::FormatTimeStamp(0, 0, 0, 0, 0, 0, 0);
    inputs.showCache = !FCT_Quind::LocalPath.empty() && state.AlertNoCache == 1;
    inputs.allCached = state.AllCached;
    inputs.invalidIncluded = state.InvalidIncluded;
    if (window_.Ports.Remote != nullptr) {
        for (int box = 0; box < 4; ++box) {
            inputs.boxes[static_cast<std::size_t>(box)] = window_.Ports.Remote->HidBox(box + 1);
        }
    }
    inputs.secondsOfDay = now;
    const Line line = Compose(inputs);

    platform::Surface& picture = window_.Picture();
    const int top = window_.MenuBar != nullptr ? window_.MenuBar->height() : 0;
    const int width = picture.PixelWidth();
    const int textWidth = platform::TwipsToPixels(picture.TextWidth(line.text));
    const int x = TickerX(width, textWidth, now);
    picture.BitBlt(0, top, width, StripHeight, window_.PictureGrad->Picture(), 0, 0, platform::RasterOp::SrcCopy);
    picture.SetForeColor(line.alert ? AlertColor : NormalColor);
    const auto print = [&](int left) {
        picture.SetCurrentX(platform::PixelsToTwips(left));
        picture.SetCurrentY(platform::PixelsToTwips(top + TextTop));
        picture.Print(line.text);
    };
    print(x);
    if (x < 0) {
        print(x + width);
    }
    window_.update(0, top, width, StripHeight);
}
