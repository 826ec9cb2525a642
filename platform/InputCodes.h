#pragma once

#include <Qt>

class QKeyEvent;

// The numbers the windows' handlers receive for buttons, modifier keys and
// keys: mouse buttons 1 left, 2 right, 4 middle; shift state 1 Shift, 2 Ctrl,
// 4 Alt; keys as Windows virtual-key codes (letters 65..90, digits 48..57,
// keypad digits 96..105, F1 112 ...), which the stored key assignments hold.
namespace platform {

inline constexpr int ButtonLeft = 1;
inline constexpr int ButtonRight = 2;
inline constexpr int ButtonMiddle = 4;

inline constexpr int ShiftMask = 1;
inline constexpr int CtrlMask = 2;
inline constexpr int AltMask = 4;

// Virtual-key codes the program names.
namespace vk {
inline constexpr int Back = 8;
inline constexpr int Tab = 9;
inline constexpr int Return = 13;
inline constexpr int Shift = 16;
inline constexpr int Control = 17;
inline constexpr int Menu = 18; // Alt
inline constexpr int Pause = 19;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int Prior = 33; // Page Up
inline constexpr int Next = 34;  // Page Down
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
inline constexpr int Numpad0 = 96;
inline constexpr int Multiply = 106;
inline constexpr int Add = 107;
inline constexpr int Subtract = 109;
inline constexpr int Decimal = 110;
inline constexpr int Divide = 111;
inline constexpr int F1 = 112;
} // namespace vk

// The code of one button (0 for any other).
int MouseButtonCode(Qt::MouseButton button);
// The sum of the codes of the buttons held.
int MouseButtonsCode(Qt::MouseButtons buttons);
int ShiftCode(Qt::KeyboardModifiers modifiers);

// The virtual-key code of a key event: the physical key, so Shift+1 is still
// 49, and keypad digits are 96..105 (0 when the key has no code).
int VirtualKeyCode(const QKeyEvent& event);
// The character code a key press types (13 Enter, 8 Backspace, 27 Escape,
// 9 Tab, else the first character of its text); 0 when it types nothing.
int KeyAsciiCode(const QKeyEvent& event);

} // namespace platform
