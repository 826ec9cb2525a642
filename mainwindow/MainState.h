#pragma once

#include "audio/Player.h"
#include "mainwindow/AssignTables.h"
#include "mainwindow/RemoteAssignEntry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The one block of state of the main window that the start-up, the settings
// apply, playback, remote control, the dialogs and the cache share. Indexes:
// an output is 0..3 (per-output arrays always have four elements); a player
// slot is output x PlayersPerOutput + k, and per-player arrays have
// PlayerCount elements. Everything here is touched on the program's thread
// only, but a play request and a tick may run nested inside waits that pump
// events, hence the guards (Running, PonBusy, StopRequested, ParkedRequest).
struct MainState {
    static constexpr int Outputs = 4;
    using PerOutput = std::array<std::int32_t, Outputs>;

    MainState();
    ~MainState();
    MainState(const MainState&) = delete;
    MainState& operator=(const MainState&) = delete;

    // Gives every per-player array count elements (new slots take their
    // initial values, kept slots keep theirs) and fills every player slot that
    // is new, or empty, with an inert player.
    void ResizePlayers(int count);
    // Closes the slot's player and puts an inert player in its place.
    void ReleasePlayer(int slot);
    // The player of a slot, an inert one for a slot beyond the table.
    Player& PlayerAt(int slot);

    // ---- Whole window ----
    // 1 from the end of the start-up until the unload (and the rebuilds of the
    // window) begins; while 0 the tick, the remote poll, the layout and the
    // drag-over handlers do nothing.
    std::int32_t Running = 0;
    // Never holds null: a slot without a usable player holds an inert one.
    std::vector<std::unique_ptr<Player>> Players;
    std::int32_t NumOut = 1;
    std::int32_t PlayersPerOutput = 1;
    std::int32_t PlayerCount = 0;
    // 1 while some output plays or is paused; written by the tick only.
    std::int32_t SomethingPlays = 0;
    std::int32_t PageNum = 10;
    // Stride of the sound-button array: control index = output x
    // ButtonsPerOutput + button.
    std::int32_t ButtonsPerOutput = 0;
    std::int32_t NoPlayMS = 0;
    std::int32_t CheckProg = 0;
    std::int32_t BlankToStop = 1;
    std::int32_t ListWhilePlay = 0;
    std::int32_t SeqItemType = 0;
    std::int32_t LoopListCursor = 1;
    std::int32_t ShowCurrent = 1;
    std::int32_t PressToPlay = 0;
    std::int32_t SwitchLR = 0;
    std::int32_t AssignSTBY = 0;
    std::int32_t TallySTBYWhilePlay = 0;
    std::int32_t TallyInvert = 0;
    std::int32_t UseLineOutLock = 0;
    std::int32_t ShowObservation = 0;

    // ---- Per output ----
    PerOutput OutputState{};     // 0 idle, 1 playing, 2 paused
    PerOutput LastOutputState{}; // as the previous tick left it
    PerOutput PonBusy{};         // a play request runs on the output
    PerOutput CurrentPlayer{};
    PerOutput StoppedByUser{};
    PerOutput PlayingMode{};
    PerOutput StopWhenStarted{};
    PerOutput ListItem{-1, -1, -1, -1};
    PerOutput FadeInDelay{};
    PerOutput FadeOn{};
    // Per output: flag, button, from-standby flag, start offset in ms of a
    // request parked during a mute tail.
    std::array<std::array<std::int32_t, 4>, Outputs> ParkedRequest{};
    PerOutput OutputLocked{};
    PerOutput STBYActive{};
    PerOutput StandbySet{};
    PerOutput StandbyButton{};
    PerOutput StandbyPage{};
    PerOutput ProgressSeen{};
    // Seconds since midnight of the last start (kept in double: a float
    // around 86400 s is only good to 8 ms, too coarse for NoPlayMS).
    std::array<double, Outputs> LastStartTime{};
    PerOutput CurrentPage{};
    PerOutput ButtonsPerPage{};
    PerOutput DispONAIR{1, 1, 1, 1};
    PerOutput DispKEY{};
    PerOutput DispFADE{1, 1, 1, 1};
    PerOutput DispSTBY{1, 1, 1, 1};
    PerOutput IndicatorCount{};

    // ---- Per player slot ----
    std::vector<std::int32_t> PlayerLevel;
    std::vector<std::int32_t> PlayerProgress;
    // (page, control index) of the sound button the player plays.
    std::vector<std::pair<std::int32_t, std::int32_t>> PlayingButton;
    std::vector<std::int32_t> FromMS;
    std::vector<std::int32_t> ToMS;
    std::vector<std::int32_t> SpanMS;
    std::vector<std::int32_t> PlayerShownState;
    std::vector<std::int32_t> LastPosition;
    std::vector<std::string> PlayerTitle;
    std::vector<std::int32_t> StopRequested;
    // 1 = the slot's counter shows the title and two info lines.
    std::vector<std::int32_t> CounterTitle;
    // Counter mode of the slot (elapsed or remaining); -1 until read. It only
    // grows, so a slot keeps its mode across rebuilds.
    std::vector<std::int32_t> DispLap;

    // ---- Assignments ----
    // Element ButtonTableIndex(output, page, button).
    std::vector<AssignRecord> ButtonTable;
    // Element ListTableIndex(output, page).
    std::array<ListPage, AssignOutputs * AssignPages> ListTable{};
    // Captions of button pages and list pages, element PageNameIndex(output, page).
    std::array<std::string, AssignOutputs * AssignPages> BankName{};
    std::array<std::string, AssignOutputs * AssignPages> ListName{};
    // The assign table file in use: path and base name ("" before the first open).
    std::string CurrentFilePath;
    std::string CurrentFileTitle;
    // Set by the pre-read when some assignment cannot be played.
    std::int32_t InvalidIncluded = 0;
    // 1 when the last cache pass found nothing left to copy.
    std::int32_t AllCached = 1;

    // ---- Window, layout and keyboard ----
    std::int32_t Subclassed = 0; // the start-up subclassed the window
    std::int32_t DispBig = 0;    // the big display is on
    std::int32_t KeyTarget = -1; // output the keyboard plays (stored as KeyPage), -1 none
    std::string LastTimerStamp;  // time stamp of the last start-timer check
    float SizeFactor = 1.0F;
    std::int32_t UnitHeight = 0;
    std::int32_t UnitGap = 0;
    std::int32_t ContentLeft = 0;
    std::int32_t LayoutType = 0; // 0..12
    std::int32_t AnyListOutput = 0;
    std::int32_t ListOutputCount = 0;
    std::int32_t AllListOutputs = 1;
    PerOutput ModuleX{}; // grid columns, 0 on a list output
    PerOutput ModuleY{}; // grid rows
    std::int32_t ButtonHorizon = 1;
    std::int32_t ButtonOrderHorizon = 1; // grids side by side where a layout allows
    std::int32_t ButtonType = 1;         // 0 tall lamp and title column, 1 one-line compact
    std::int32_t LEDFrame = 1;           // the state drawing uses the frame pictures
    std::int32_t DispButtonTime = 1;     // buttons show the sound's length
    std::int32_t SerialButtonNum = 0;    // buttons captioned with serial numbers, not keys
    std::int32_t PageButtonWidth = 31;

    // ---- Menus and right clicks ----
    std::int32_t PendingButtonMenu = 0;
    std::int32_t PendingPageMenu = 0;
    std::int32_t PendingListMenu = 0;
    std::int32_t RCButtonIndex = 0;
    std::int32_t PendingPageOutput = 0;
    std::int32_t PendingPagePage = 0;
    // (output, page) of the copied page; -1 in either: nothing copied.
    std::pair<std::int32_t, std::int32_t> CopiedPage{-1, -1};
    // Index in the drive table of the highest removable drive seen, -1 none.
    std::int32_t RemovableDrive = -1;

    // ---- Remote control ----
    // Element RemoteAssignIndex(channel, code); rebuilt at every remote set-up.
    RemoteAssignTableData RemoteAssignTable{};
    // Per source key (HID channel 0..3): the output its last play command
    // started, -1 none; a release code stops that output.
    PerOutput SourceOutput{-1, -1, -1, -1};

    // ---- Fades ----
    // Fade-in step, fade-out step (1/100 dB per tick), fade-in offset (ticks).
    std::array<std::int32_t, 3> FadeParm{};

    // ---- Settings the window keeps ----
    std::string TlvExtention = "txt";
    std::int32_t UseTlvUser = 0;
    std::int32_t CheckWavFmt = 0;
    std::int32_t SozaiFreq = 48000;
    std::int32_t SozaiMode = 3;
    std::vector<std::string> SoundDriveList{std::string()};
    std::int32_t SoundDriveCount = 0;
    std::int32_t BankSync = 0;
    std::int32_t DefaultButtonOption = 0;
    std::int32_t UseButtonRCMenu = 1;
    std::int32_t ShowFmtTolv = 1;
    std::int32_t ShowCtrl = 1;
    std::int32_t ListOrderHorizon = 1;
    std::int32_t UseListRCMenu = 1;
    std::int32_t ShowFmtList = 1;
    std::int32_t ListCtrl = 0;
    std::int32_t SeqRC = 0;
    PerOutput ShowPage{1, 1, 1, 1};
    PerOutput CacheAtDrop{};
    PerOutput PlayerColor{};
    std::int32_t UseVol = 0;
    std::int32_t UseSpeed = 0;
    std::int32_t UsePan = 0;
    // Lamp cells of the states playing (1) and standby (2).
    std::array<std::int32_t, 3> StateColorSet{0, 1, 2};
    std::int32_t CacheAll = 0;
    std::int32_t AlertNoCache = 0;
    std::int32_t CheckCacheLite = 0;
    std::string TlvTxtPath;
    std::string TlvBackupPath;
    std::int32_t OpenRemovable = 0;
    std::int32_t Abspath = 1;
    // Stored and actual root of the synchronised drive ("" without ";").
    std::pair<std::string, std::string> SyncDrive;
};
