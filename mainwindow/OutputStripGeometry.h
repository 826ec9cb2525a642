#pragma once

#include <array>
#include <cstdint>

// Where the page selector, the status panels and the controls of a player
// strip go, as pure functions of the settings: sizes in, rectangles in twips
// out (positions relative to the control's container). A length that must
// fall on whole pixels is "snapped": taken to the nearest whole twip (halves
// to even), then cut down to a multiple of the twips per pixel.
namespace StripGeometry {

struct TwipsRect {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;

    double Right() const { return Left + Width; }
    double Bottom() const { return Top + Height; }
};

// The sizes every part of the build shares.
struct Scale {
    float SizeFactor = 1.0F;
    int TwipsPerPixel = 15;
    // 90 x SizeFactor, snapped: the margin around and between panels.
    std::int32_t UnitHeight = 90;
    // Two pixels: the gap between the controls of a panel.
    std::int32_t UnitGap = 30;
};

// The scale of a size factor on a screen of twipsPerPixel.
Scale MakeScale(float sizeFactor, int twipsPerPixel);

// length x SizeFactor, snapped.
std::int32_t SnapScaled(double length, const Scale& scale);
// A twips value, snapped.
std::int32_t Snap(double twips, int twipsPerPixel);

// ---- Page selector of an output ----
struct PageSelectorBox {
    TwipsRect Title;   // TextPage, inside the frame
    TwipsRect Buttons; // PageButtons, inside the frame
    double FrameWidth = 0;
    double FrameHeight = 0;
};
// pageButtonWidth: pixels of one page button at SizeFactor 1.
PageSelectorBox PageSelector(const Scale& scale, std::int32_t pageButtonWidth, std::int32_t pageNum);

// ---- Status panels of an output ----
enum PanelKind { OnAir = 0, Key = 1, Fade = 2, Standby = 3, Timer = 4, Shell = 5, PanelKinds = 6 };

struct StatusStripBox {
    double Width = 0;
    double Height = 0;
    // Height of one panel; each panel is Width wide.
    double PanelHeight = 0;
    // Top of each kind in the strip; -1 for a kind not shown.
    std::array<double, PanelKinds> PanelTop{};
};
// shown: which kinds are shown; pageFrameHeight: the first output's page
// selector frame, whose height every strip takes.
StatusStripBox StatusStrip(const Scale& scale, double pageFrameHeight, const std::array<bool, PanelKinds>& shown);

struct PanelFont {
    float Size = 0;
    // "Impact" with the size, or only the size (the interface font).
    bool Impact = false;
};
// The font of a panel's caption: the timer and every caption with a
// character that has a full-width and a half-width form use "Impact"; the
// others (a shell name of kanji and kana only) the interface font.
PanelFont StatusPanelFont(PanelKind kind, bool captionHasWidthForms, int indicatorCount, double panelHeight,
                          const Scale& scale);

// ---- Player strip ----
struct StripFeatures {
    std::int32_t PlayerType = 3;
    std::int32_t SinglePlayer = 1; // one player per output
    std::int32_t UseSamplePos = 1; // the strip shows meters
    std::int32_t UseVol = 0;
    std::int32_t UseSpeed = 0;
    std::int32_t UsePan = 0;
};

// Every control of a strip, relative to its strip panel (the meters relative
// to their holder). Element 0 of the fader and sliders is laid out also when
// it is not shown; the *Shown flags say which controls are in view.
struct StripBox {
    TwipsRect Counter;
    TwipsRect Buttons;
    TwipsRect Bar;
    TwipsRect Fader;
    TwipsRect Speed;
    TwipsRect Pan;
    TwipsRect Meters; // PictureVU
    TwipsRect MeterL; // VUL inside PictureVU
    TwipsRect MeterR; // VUR inside PictureVU
    double PanelWidth = 0;
    double PanelHeight = 0;
    bool FaderShown = false;
    bool SpeedShown = false;
    bool PanShown = false;
    bool MetersShown = false;
};
// titleHeight and pageButtonsHeight: those of the first output's page
// selector, which the strip lines up with.
StripBox PlayerStrip(const Scale& scale, const StripFeatures& features, double titleHeight, double pageButtonsHeight);

// The top of strip i's panel: one panel height plus one margin below the one
// before.
double StripPanelTop(double firstTop, double panelHeight, int strip, const Scale& scale);

// ---- The first output's row ----
struct FirstRow {
    TwipsRect StripPanel; // PictureModule(0): Left and Top
    double LedsLeft = 0;  // PictureLEDs(0)
    double PageLeft = 0;  // PicturePage(0)
    // Where the output's content (lists, buttons) begins.
    std::int32_t ContentLeft = 0;
    // Top of the first sound button: below the page selector.
    double FirstButtonTop = 0;
};
FirstRow FirstOutputRow(const Scale& scale, const StripBox& strip, double ledsWidth, double pageFrameHeight,
                        std::int32_t playersPerOutput);

} // namespace StripGeometry
