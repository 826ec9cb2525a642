#pragma once

class FrmMain;

// The settings apply of the main window as an ordered list of steps. The
// full form (DisplayOnly 0) reads every setting, re-creates the players and
// rebuilds the window; the reduced form (DisplayOnly 1) only rescales the
// window on the settings, players and pages it has.
//
// A step that fails is logged and the next one runs, so no setting and no
// device can leave the program without a window; with ErrorCatch on, a
// failure stops the program at once so that a debugger sees it.
class SettingsApply {
public:
    // firstRun: nothing was applied before (no start timers to disarm).
    SettingsApply(FrmMain& window, bool firstRun);
    void Run(int DisplayOnly);

private:
    enum class Forms { Both, FullOnly };
    struct Step {
        const char* name;
        Forms forms;
        void (SettingsApply::*run)();
    };

    void RunGuarded(const Step& step);

    // Steps, in order.
    void SaveListColumnLayouts();
    void ResetPlayersAndTimers();
    void UnloadEarlierBuild();
    void ReadGeneralSettings();
    void ReadListAndOutputSettings();
    void ApplyMenus();
    void ReadPlayerType();
    void LoadServerConfiguration();
    void ShowBigDisplayItem();
    void DeriveBackEndValues();
    void ReadPlayerFeatures();
    void ReadOutputKinds();
    void ReadOutputDevices();
    void RecreatePlayerTables();
    void ReadTipsAndColours();
    void ComputeSizes();
    void BuildPageSelectors();
    void BuildStatusPanels();
    void LayOutOutputStrips();
    void BuildPlayers();
    void BuildListAreas();
    void BuildButtonGrids();
    void ApplyOutputStates();
    void ReadCacheAndFolderSettings();
    void LoadMonitorWindow();
    void OpenRemoteDevices();
    void ShowFirstPages();
    void ShowKeyTarget();

    FrmMain& window_;
    bool firstRun_;
    int displayOnly_ = 0;
};
