#pragma once

#include "controls/UC_Fader.h"
#include "controls/UC_ListView.h"
#include "controls/UC_Slider.h"
#include "mainwindow/PendingControl.h"

// The screen control each control array of the main window is made of. A
// control whose class is not built yet holds its place as a PendingControl;
// its line here says which control belongs there.
using TextPictureControl = PendingControl; // not yet built: UC_TextPicture
using ButtonsControl = PendingControl;     // not yet built: UC_Buttons
using BarControl = PendingControl;         // not yet built: UC_Bar
using VuMeterControl = PendingControl;     // not yet built: UC_VVU
using SoundButtonControl = PendingControl; // not yet built: UC_TolvButton
using SliderControl = UC_Slider;
using FaderControl = UC_Fader;
using ListViewControl = UC_ListView;
