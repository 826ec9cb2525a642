#pragma once

class PlaybackControl;

// The cursor of a play-list output: which row plays or plays next, the row
// colours that show it, the move to the next row when a row ends (with the
// sequence marks that start it by itself), and the current-item panel.
class ListCursor {
public:
    explicit ListCursor(PlaybackControl& control) : control_(control) {}

    // Puts the cursor on row (-1 none): as the playing row, or with asNext 1
    // as the row that plays next. keepSelection 1 keeps the list's selection.
    void SetListCursor(int output, int row, int asNext, int keepSelection);
    // Moves the cursor on after a row; startNext tells whether the new row
    // starts by itself.
    void AdvanceListItem(int output, int& startNext);
    // Shows the row that plays (or would play) in the current-item panel.
    void ShowCurrentItem(int output);

private:
    PlaybackControl& control_;
};
