#pragma once

class FrmMain;

// The settings-apply block that builds the list area of every play-list
// output: the current-item panel (its text fields and colour sets), the row
// of four list tool buttons and the play list view (columns, tip columns,
// stored column order and widths, font and colours), with their first
// places; the window layout places them for good.
class ListAreaSetup {
public:
    // displayOnly 1: the elements of the last full apply exist; the list
    // views keep their rows and columns and take the new sizes only.
    ListAreaSetup(FrmMain& window, int displayOnly);
    void Run();

    // Saves the column widths and the column order of every play list, so a
    // rebuild of the window gives them back as the operator left them.
    static void SaveColumnLayouts(FrmMain& window);

private:
    void CreateElements(int output);
    void PlaceVertically(int output);
    void BuildCurrentPanel(int output);
    void SetUpList(int output);
    void SetUpToolButtons(int output);

    FrmMain& window_;
    int displayOnly_;
};
