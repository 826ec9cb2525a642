#pragma once

#include <array>

class PlaybackControl;
class Pages;
class FrmMain;

// Keyboard control of the key target output (KeyTarget): F1..F10 and the
// keypad's plus and minus switch its pages, Esc stops it, Space plays its
// cue or next list item, and the button keys play its buttons. The window
// sees every key before its controls do and tells the keyboard's auto-repeat
// from real presses and releases, so a held key plays a Momentary sound until
// it is really released. A key pressed with Alt or Ctrl held is a shortcut,
// never a button key, the cue or a list start.
class Keyboard {
public:
    // Windows virtual-key codes of the keys with their own rules.
    static constexpr int KeyF1 = 112;
    static constexpr int KeyF10 = 121;
    static constexpr int KeyAdd = 107;
    static constexpr int KeySubtract = 109;
    static constexpr int KeyEscape = 27;
    static constexpr int KeySpace = 32;

    Keyboard(PlaybackControl& control, Pages& pages);
    ~Keyboard();
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    // Takes the window's keys (key preview) and the clicks on its KEY labels.
    void Attach();

    void Form_KeyDown(int& keyCode, int shift);
    void Form_KeyUp(int& keyCode, int shift);
    // down 1 press, 0 release; F1..F10 are consumed (keyCode 0).
    void HandleKey(int& keyCode, int shift, int down);
    void TextKey_MouseUD(int index, int button, bool isDown, int pIndex);
    // The KEY labels and the buttons' key or number captions of all outputs.
    void DrawKeyAssign();

    // The button of the target's page that the key plays: the output's own
    // table before the keypad table; -1 when none.
    static int FindKeyButton(int keyCode, int target, int buttonsPerPage);

private:
    FrmMain& Window();
    // Notes the press or release of a key and tells whether it was pressed
    // with Alt or Ctrl; a release whose press went elsewhere (a matched menu
    // shortcut, another window) is judged by its own modifiers.
    bool PressedAsShortcut(int keyCode, int shift, int down);

    PlaybackControl& control_;
    Pages& pages_;
    // How each key held was pressed.
    enum class Press : unsigned char { None, Plain, Shortcut };
    std::array<Press, 256> presses_{};
};
