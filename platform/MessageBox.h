#pragma once

#include <QPoint>
#include <QSize>

#include <functional>
#include <string>

class QWidget;

namespace platform {

// Buttons of a message box, as its style's low four bits choose them.
inline constexpr int BoxOk = 0;
inline constexpr int BoxOkCancel = 1;
inline constexpr int BoxAbortRetryIgnore = 2;
inline constexpr int BoxYesNoCancel = 3;
inline constexpr int BoxYesNo = 4;
inline constexpr int BoxRetryCancel = 5;
// Icons (the style's bits 4..6).
inline constexpr int IconStop = 16;
inline constexpr int IconQuestion = 32;
inline constexpr int IconExclamation = 48;
inline constexpr int IconInformation = 64;
// The default button is the second or third with these added.
inline constexpr int DefaultButton2 = 256;
inline constexpr int DefaultButton3 = 512;

// What a message box returns: the button pressed.
inline constexpr int IdOk = 1;
inline constexpr int IdCancel = 2;
inline constexpr int IdAbort = 3;
inline constexpr int IdRetry = 4;
inline constexpr int IdIgnore = 5;
inline constexpr int IdYes = 6;
inline constexpr int IdNo = 7;

struct MessageBoxRequest {
    QWidget* owner = nullptr;
    std::string text;
    std::string title;
    int style = 0;
    // Where the box's top-left corner goes once its size is known; empty
    // leaves the place to the desktop.
    std::function<QPoint(QSize box)> place;
};

// Shows a modal message box and returns the pressed button's id. Closing the
// box counts as Cancel where there is one, as OK in a box with OK alone, and
// as No in a Yes/No box.
int ShowMessageBox(const MessageBoxRequest& request);

// Test seam: while set, no box opens; the answer's result is returned.
using MessageBoxAnswer = std::function<int(const MessageBoxRequest& request)>;
void SetMessageBoxAnswer(MessageBoxAnswer answer);

} // namespace platform
