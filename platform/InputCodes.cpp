#include "platform/InputCodes.h"

#include <QKeyEvent>

#include <array>
#include <utility>

namespace platform {

int MouseButtonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return ButtonLeft;
    case Qt::RightButton:
        return ButtonRight;
    case Qt::MiddleButton:
        return ButtonMiddle;
    default:
        return 0;
    }
}

int MouseButtonsCode(Qt::MouseButtons buttons)
{
    int code = 0;
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (buttons.testFlag(button)) {
            code |= MouseButtonCode(button);
        }
    }
    return code;
}

int ShiftCode(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        code |= ShiftMask;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        code |= CtrlMask;
    }
    if (modifiers.testFlag(Qt::AltModifier)) {
        code |= AltMask;
    }
    return code;
}

namespace {

// Physical keys of the main block by X key code (evdev code + 8), as the
// keyboards of the studio machines (US and Japanese layouts) place them.
int VirtualKeyFromScanCode(quint32 scanCode)
{
    static constexpr std::array<std::pair<quint32, int>, 31> table{{
        {10, '1'},  {11, '2'}, {12, '3'},  {13, '4'},       {14, '5'},     {15, '6'},      {16, '7'},       {17, '8'},
        {18, '9'},  {19, '0'}, {20, 189},  {21, 187},       {34, 219},     {35, 221},      {47, 186},       {48, 222},
        {49, 192},  {51, 220}, {59, 188},  {60, 190},       {61, 191},     {93, 243},      {97, 226},       {100, 28},
        {101, 242}, {102, 29}, {132, 220}, {65, vk::Space}, {23, vk::Tab}, {22, vk::Back}, {9, vk::Escape},
    }};
    for (const auto& [code, key] : table) {
        if (code == scanCode) {
            return key;
        }
    }
    return 0;
}

// Symbols typed with Shift on the digit row of a US keyboard, for events that
// carry no scan code.
int DigitOfShiftedSymbol(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Exclam:
        return '1';
    case Qt::Key_At:
        return '2';
    case Qt::Key_NumberSign:
        return '3';
    case Qt::Key_Dollar:
        return '4';
    case Qt::Key_Percent:
        return '5';
    case Qt::Key_AsciiCircum:
        return '6';
    case Qt::Key_Ampersand:
        return '7';
    case Qt::Key_Asterisk:
        return '8';
    case Qt::Key_ParenLeft:
        return '9';
    case Qt::Key_ParenRight:
        return '0';
    default:
        return 0;
    }
}

int KeypadKey(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return vk::Numpad0 + (qtKey - Qt::Key_0);
    }
    switch (qtKey) {
    case Qt::Key_Asterisk:
        return vk::Multiply;
    case Qt::Key_Plus:
        return vk::Add;
    case Qt::Key_Minus:
        return vk::Subtract;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return vk::Decimal;
    case Qt::Key_Slash:
        return vk::Divide;
    default:
        return 0;
    }
}

int NamedKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Backspace:
        return vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vk::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vk::Return;
    case Qt::Key_Shift:
        return vk::Shift;
    case Qt::Key_Control:
        return vk::Control;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return vk::Menu;
    case Qt::Key_Pause:
        return vk::Pause;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return vk::Escape;
    case Qt::Key_Space:
        return vk::Space;
    case Qt::Key_PageUp:
        return vk::Prior;
    case Qt::Key_PageDown:
        return vk::Next;
    case Qt::Key_End:
        return vk::End;
    case Qt::Key_Home:
        return vk::Home;
    case Qt::Key_Left:
        return vk::Left;
    case Qt::Key_Up:
        return vk::Up;
    case Qt::Key_Right:
        return vk::Right;
    case Qt::Key_Down:
        return vk::Down;
    case Qt::Key_Print:
        return 44;
    case Qt::Key_Insert:
        return vk::Insert;
    case Qt::Key_Delete:
        return vk::Delete;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
        return 91;
    case Qt::Key_Super_R:
        return 92;
    case Qt::Key_Menu:
        return 93;
    case Qt::Key_NumLock:
        return 144;
    case Qt::Key_ScrollLock:
        return 145;
    case Qt::Key_Muhenkan:
        return 29;
    case Qt::Key_Henkan:
        return 28;
    case Qt::Key_Hiragana_Katakana:
        return 242;
    case Qt::Key_Zenkaku_Hankaku:
        return 243;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return 186;
    case Qt::Key_Equal:
        return 187;
    case Qt::Key_Comma:
        return 188;
    case Qt::Key_Minus:
        return 189;
    case Qt::Key_Period:
        return 190;
    case Qt::Key_Slash:
        return 191;
    case Qt::Key_QuoteLeft:
        return 192;
    case Qt::Key_BracketLeft:
        return 219;
    case Qt::Key_Backslash:
    case Qt::Key_yen:
        return 220;
    case Qt::Key_BracketRight:
        return 221;
    case Qt::Key_Apostrophe:
        return 222;
    default:
        return 0;
    }
}

} // namespace

int VirtualKeyCode(const QKeyEvent& event)
{
    const int qtKey = event.key();
    if (event.modifiers().testFlag(Qt::KeypadModifier)) {
        if (const int key = KeypadKey(qtKey); key != 0) {
            return key;
        }
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return 'A' + (qtKey - Qt::Key_A);
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return '0' + (qtKey - Qt::Key_0);
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return vk::F1 + (qtKey - Qt::Key_F1);
    }
    // Symbol keys are named by where they sit, whatever Shift made of them.
    if (const int key = VirtualKeyFromScanCode(event.nativeScanCode()); key != 0) {
        return key;
    }
    if (const int digit = DigitOfShiftedSymbol(qtKey); digit != 0) {
        return digit;
    }
    return NamedKey(qtKey);
}

int KeyAsciiCode(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
        return 9;
    default:
        break;
    }
    const QString text = event.text();
    if (text.isEmpty()) {
        return 0;
    }
    const char32_t code = text.toUcs4().value(0);
    // Control characters other than the ones above type nothing.
    return code < 32 || code == 127 ? 0 : static_cast<int>(code);
}

} // namespace platform
