#pragma once

#include "dialogs/ConfPage.h"

#include <string_view>

// Page 11 "Remote": the four serial ports, the four USB HID boxes, MIDI input
// and the contact and tally options. The port, rate and MIDI device lists
// come from the remote layer.
class ConfPageRemote final : public ConfPage {
public:
    using ConfPage::ConfPage;

    // OK of a dialog that never built this page: writes the MIDI input
    // device as the page would show it. The box shows the device the program
    // runs with, not the stored one, so OK stores what it shows whether or
    // not the page was opened.
    static void WriteUnbuilt();

protected:
    void BuildControls() override;

private:
    class PortBinding;

    // Prints a group title with its left edge at left.
    void Title(std::string_view text, double left, double top);
    void BuildSerialRow(int n, double top);
    void BuildHidRow(int n, double top);
    void BuildMidiAndContacts();
};
