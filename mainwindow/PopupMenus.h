#pragma once

class FrmMain;

// The right-click menus of sound buttons, play lists and page buttons. A
// right click only records its target and a pending flag; FrmMain's
// ShowPendingPopup shows the menu at the next safe moment (the engine tick
// while every output is idle, TimerRC_Timer while one plays).
namespace PopupMenus {

// Captions in the run's language; the mode items are the full play-mode
// names (parms::ModeCaption form 1) and the list's sequence item is the
// sequence mark followed by "On/Off".
void ApplyCaptions(FrmMain& window);

// What a full settings apply shows: Edit with an editor program, the
// sequence item with SeqRC 1, "Start ms" of the list with UseListStartMS.
// (The mode sub-menu follows the player type, when the apply has read it.)
void ApplyVisibility(FrmMain& window);

// The play mode of the sound button with this control index on its output's
// current page; -1 when the index names no button.
int PlayModeOfButton(const FrmMain& window, int controlIndex);

} // namespace PopupMenus
