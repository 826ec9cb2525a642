#pragma once

#include <string>
#include <string_view>

class QWidget;

// What the main window learns beyond its own events: the mouse wheel, the
// command lines a second start hands over, and the title-bar lock asked for
// while sound plays. A window takes part once it is subclassed.
namespace basic {

// A running session's main window, found by its caption; empty when none.
struct SessionWindow {
    std::string caption;
    explicit operator bool() const { return !caption.empty(); }
};

// The running session whose caption is exactly title, or exactly title &
// " - " & the maker's name ("tolv" finds "tolv - Quorvant", never
// "tolvB - Quorvant").
SessionWindow FindWindowByTitle(std::string_view title);

} // namespace basic

namespace FCT_SubClass {

// Hands text to the session found by basic::FindWindowByTitle(windowTitle)
// and waits until it took it: 1 when it did, 0 when there is no such session
// or it did not answer.
int SendCopyData(std::string_view windowTitle, std::string_view text);
void SendCopyDataToWindow(const basic::SessionWindow& window, std::string_view text);

// A subclassed window receives the command lines later starts hand over: the
// session this process holds takes them from then on, and refuses them again
// once no window is subclassed, so that a later start learns it.
void SubclassWindow(QWidget* window);
void UnsubclassWindow(QWidget* window);
// The window's slot, -1 when it is not subclassed.
int FindSubclassSlot(QWidget* window);

// Kept while sound plays. Linux window managers do not let a program swallow
// clicks on the title bar, so the lock is recorded and has no further effect.
void SetCaptionLock(QWidget* window, int lock);
int CaptionLock(QWidget* window);

// The last wheel turn since the previous call: 1 towards the user, -1 away,
// 0 none or not subclassed. Reading clears it.
int GetWheelDelta(QWidget* window);

// The oldest command line handed over by a later start and not yet taken,
// "" when none or when the window is not subclassed.
std::string GetCopyDataText(QWidget* window);

} // namespace FCT_SubClass
