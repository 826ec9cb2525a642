#pragma once

namespace platform {
class DragData;
}

// The play lists' mouse and drag events that playback control carries out
// (the right click goes through ControlEventsPort). Index is the output.
class ListEventsPort {
public:
    virtual ~ListEventsPort() = default;

    virtual void LV_Clicked(int index, double x, double y) = 0;
    virtual void LV_DblClicked(int index) = 0;
    // Files dropped on the list at y (twips in the list).
    virtual void LV_OLEDragDrop(int index, platform::DragData& data, int& effect, int button, int shift, double x,
                                double y) = 0;
    // Rows dragged out: the source fills data; the end reports the effect.
    virtual void LV_OLEStartDrag(int index, platform::DragData& data, int& allowedEffects) = 0;
    virtual void LV_OLECompleteDrag(int index, int effect) = 0;
};
