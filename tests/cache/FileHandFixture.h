#pragma once

#include "cache/FileHandEngine.h"
#include "foundation/ModuleValues.h"
#include "platform/base/Hooks.h"
#include "support/ClockFixture.h"
#include "support/ScratchFolder.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// A transfer engine on virtual time in a fresh folder, recording what it
// shows; the pump hook runs onPump, and the day log goes to the folder.
class FileHandFixture : public testsupport::ClockFixture {
protected:
    FileHandFixture()
    {
        SetNow(Date(2025, 6, 2), At(10, 0, 0));
        engine->Hooks.MirrorProg = [this](float rate) {
            events.push_back(rate);
            if (onProgress) {
                onProgress(rate);
            }
        };
        engine->Hooks.SetProgress = [this](float rate) { bar.push_back(rate); };
        engine->Hooks.ShowMessage = [this](std::string_view text, int flag) {
            messages.push_back(std::string(text) + "|" + std::to_string(flag));
        };
        platform::SetPumpHook([this] {
            ++pumps;
            if (onPump) {
                onPump();
            }
        });
        savedLogError_ = basic::LogError;
        savedLogFolder_ = basic::LogFolder;
        basic::LogError = 1;
        basic::LogFolder = scratch.Folder("log");
    }
    ~FileHandFixture() override
    {
        platform::SetPumpHook(nullptr);
        platform::SetRefillHook(nullptr);
        basic::LogError = savedLogError_;
        basic::LogFolder = savedLogFolder_;
    }

    // A file of n bytes counting up from seed.
    std::string Pattern(std::size_t n, int seed = 0) const
    {
        std::string bytes(n, '\0');
        for (std::size_t i = 0; i < n; ++i) {
            bytes[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(seed)) & 0xFF);
        }
        return bytes;
    }

    // Names of the temporary files left in a folder.
    static std::vector<std::string> Temporaries(const std::string& folder)
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("~tmp")) {
                found.push_back(name);
            }
        }
        return found;
    }

    // Everything written to the error log (".err") or the day log (".log") so far.
    std::string ErrorLog(const char* extension = ".err") const
    {
        std::string all;
        for (const auto& entry : std::filesystem::directory_iterator(basic::LogFolder)) {
            if (entry.path().extension() == extension) {
                all += testsupport::ReadText(entry.path().string());
            }
        }
        return all;
    }

    testsupport::ScratchFolder scratch;
    std::shared_ptr<cache::FileHandEngine> engine = cache::FileHandEngine::Create();
    std::vector<float> events;
    std::vector<float> bar;
    std::vector<std::string> messages;
    std::function<void(float)> onProgress;
    std::function<void()> onPump;
    int pumps = 0;

private:
    int savedLogError_ = 0;
    std::string savedLogFolder_;
};
