#pragma once

namespace platform {
class Form;
}

// The configuration dialog, shown modally; it sets parms::ConfigConfirmed
// when it closes with OK.
class ConfigDialogPort {
public:
    virtual ~ConfigDialogPort() = default;
    virtual void ShowModal(platform::Form& owner) = 0;
};
