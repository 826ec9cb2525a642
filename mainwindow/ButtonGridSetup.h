#pragma once

class FrmMain;

// The settings-apply block that builds the sound-button grids: it reads the
// button settings, sizes every grid, paints the pictures the buttons share,
// creates (full apply) or resizes (display-size switch) one TolvButton
// element per button of every grid output, sets their fonts, resets the
// default keys of each output and chooses the layout type.
class ButtonGridSetup {
public:
    // displayOnly 1: the elements of the last full apply exist and are only
    // resized and set up again.
    ButtonGridSetup(FrmMain& window, int displayOnly);
    void Run();

private:
    void ReadButtonSettings();
    void ReadGridSizes();
    void SizeAndPaintPictures(int widthPx, int heightPx);
    void SetUpButtons(int widthPx, int heightPx);
    void ChooseLayoutType();

    FrmMain& window_;
    int displayOnly_;
};
