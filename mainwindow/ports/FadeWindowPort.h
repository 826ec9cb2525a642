#pragma once

// The fade settings window.
class FadeWindowPort {
public:
    virtual ~FadeWindowPort() = default;
    virtual bool IsOpen() = 0;
    virtual void Unload() = 0;
};
