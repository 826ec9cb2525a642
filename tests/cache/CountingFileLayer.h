#pragma once

#include "support/TestFileLayer.h"

#include <atomic>
#include <string>

// The test file layer, counting the files opened whose path contains a part.
class CountingFileLayer : public testsupport::TestFileLayer {
public:
    explicit CountingFileLayer(std::string part) : part_(std::move(part)) {}

    int Open(const char* path, platform::OpenMode mode) override
    {
        if (std::string(path).find(part_) != std::string::npos) {
            ++opens;
        }
        return TestFileLayer::Open(path, mode);
    }

    std::atomic<int> opens{0};

private:
    std::string part_;
};
