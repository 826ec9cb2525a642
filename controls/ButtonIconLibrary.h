#pragma once

#include <QImage>

// The icon library of the button row: icons 0..25 side by side in 18-pixel
// columns, each as an image row (y 0..17, black where the face shows
// through) above its mask row (y 18..35, black where the icon covers the
// face, white elsewhere). Drawn for a face of grey 210. Icons 8..11, 13, 18..20,
// 23 and 24 are the lit forms of others and keep their colours.
namespace controls {

inline constexpr int IconSize = 18;
inline constexpr int IconCount = 26;

// The meanings the button row's presets rely on.
enum ButtonIcon : int {
    IconToStart = 0,
    IconPlay = 1,
    IconPause = 2,
    IconStop = 3,
    IconMarkIn = 4,
    IconMarkOut = 5,
    IconRewind = 6,
    IconForward = 7,
    IconToStartLit = 8,
    IconPlayLit = 9,
    IconPauseLit = 10,
    IconStopLit = 11,
    IconRecord = 12,
    IconRecordLit = 13,
    IconLoop = 14,
    IconPrevious = 15,
    IconCue = 16,
    IconNext = 17,
    IconPreviousLit = 18,
    IconCueLit = 19,
    IconNextLit = 20,
    IconOpen = 21,
    IconRepeat = 22,
    IconOpenLit = 23,
    IconRepeatLit = 24,
    IconEject = 25,
};

// The library picture, made once.
const QImage& ButtonIconLibrary();

// True for the lit icons, which keep their colours on any face.
bool IsLitIcon(int icon);

} // namespace controls
