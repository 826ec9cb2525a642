#pragma once

#include "platform/MidiBackend.h"

#include <memory>
#include <string>
#include <vector>

namespace testsupport {

// MIDI devices a test names. The open input delivers what the test sends into
// its ring exactly as the sequencer's reader thread does. Installed for the
// life of the object. (Header only: the support library is linked below the
// platform layer.)
class FakeMidiBackend final : public platform::MidiBackend {
public:
    FakeMidiBackend() { platform::SetMidiBackend(this); }
    ~FakeMidiBackend() override { platform::SetMidiBackend(nullptr); }
    FakeMidiBackend(const FakeMidiBackend&) = delete;
    FakeMidiBackend& operator=(const FakeMidiBackend&) = delete;

    std::vector<std::string> PortNames(bool input) override { return input ? inputs : outputs; }

    std::unique_ptr<platform::MidiInputPort> OpenInput(int index, platform::MidiInRing& ring) override
    {
        if (index < 0 || static_cast<std::size_t>(index) >= inputs.size()) {
            return nullptr;
        }
        auto port = std::make_unique<Port>(*this, ring);
        open_ = port.get();
        openedIndex = index;
        ++opens;
        return port;
    }

    // A message from the open device; false when no device is open.
    bool Send(std::uint32_t message)
    {
        if (open_ == nullptr) {
            return false;
        }
        open_->ring.Store(message);
        return true;
    }
    bool IsOpen() const { return open_ != nullptr; }

    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    int openedIndex = -1;
    int opens = 0;
    int closes = 0;

private:
    struct Port final : platform::MidiInputPort {
        Port(FakeMidiBackend& owner, platform::MidiInRing& target) : backend(owner), ring(target) {}
        ~Port() override
        {
            ++backend.closes;
            if (backend.open_ == this) {
                backend.open_ = nullptr;
            }
        }
        FakeMidiBackend& backend;
        platform::MidiInRing& ring;
    };

    Port* open_ = nullptr;
};

} // namespace testsupport
