#include "cache/FileCompare.h"

#include "cache/FileHandEngine.h"
#include "cache/FileHandErrors.h"
#include "foundation/Waits.h"
#include "platform/IoFile.h"
#include "platform/base/Hooks.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace cache {

namespace {

constexpr int DefaultPauseMs = 10;

void LetEventsRun()
{
    platform::Pump();
    platform::RefillIfDue();
}

} // namespace

void FileCompare::Progress(float rate) const
{
    // Called through copies: a handler may end the control, emptying the hooks.
    if (const auto event = engine_.Hooks.HikakuProg) {
        event(rate);
    }
    if (const auto show = engine_.Hooks.SetProgress) {
        show(rate);
    }
}

std::int32_t FileCompare::HikakuFile(std::string_view sFilename, std::string_view tFilename, std::int32_t pInt,
                                     std::int64_t pSize)
{
    if (engine_.Refused(0, "HikakuFile", sFilename)) {
        return 0;
    }
    const FileHandEngine::Operation running(engine_);
    engine_.canceled_ = 0;
    const int pause = pInt == 0 ? DefaultPauseMs : pInt;

    platform::IoFile source;
    platform::IoFile target;
    if (!source.Open(sFilename, platform::OpenMode::Read) || !target.Open(tFilename, platform::OpenMode::Read)) {
        return 0;
    }
    platform::FileStatus sourceStatus;
    platform::FileStatus targetStatus;
    if (!source.Stat(sourceStatus) || !target.Stat(targetStatus) || sourceStatus.size != targetStatus.size ||
        sourceStatus.size <= 0) {
        return 0;
    }
    const std::int64_t size = sourceStatus.size;
    engine_.Message("ファイル比較中…", 0);

    const std::int64_t chunk = pSize > 0 ? pSize : FileHandEngine::DefaultChunkBytes;
    std::int64_t budget = numeric::RoundToInt64(static_cast<double>(size) / static_cast<double>(chunk) + 100.0);
    const auto bufferBytes = static_cast<std::size_t>(std::min({chunk, FileHandEngine::PieceBytes, size}));
    const platform::IoFile::Buffer left = std::make_shared<std::vector<std::uint8_t>>(bufferBytes);
    const platform::IoFile::Buffer right = std::make_shared<std::vector<std::uint8_t>>(bufferBytes);

    bool differ = false;
    std::int64_t compared = 0;
    while (true) {
        LetEventsRun();
        const std::int64_t pass = std::min(chunk, size - compared);
        Progress(static_cast<float>(static_cast<double>(compared) / static_cast<double>(size)));
        for (std::int64_t passLeft = pass; passLeft > 0 && !differ;) {
            if (engine_.canceled_ != 0) {
                return engine_.Fail(filehand::Cancelled);
            }
            const auto piece = static_cast<std::size_t>(std::min<std::int64_t>(passLeft, FileHandEngine::PieceBytes));
            // A short read (a file that shrank meanwhile) is no proof of equality.
            if (source.Read(left, piece) != static_cast<std::int64_t>(piece)) {
                return 0;
            }
            basic::WaitMs(pause, 0);
            if (target.Read(right, piece) != static_cast<std::int64_t>(piece)) {
                return 0;
            }
            differ = std::memcmp(left->data(), right->data(), piece) != 0;
            passLeft -= static_cast<std::int64_t>(piece);
        }
        if (differ) {
            break;
        }
        compared += pass;
        if (compared >= size) {
            break;
        }
        if (engine_.canceled_ != 0) {
            return engine_.Fail(filehand::Cancelled);
        }
        if (--budget <= 0) {
            engine_.Fail(filehand::CopyLoopExhausted);
            differ = true; // not compared to the end: never "equal"
            break;
        }
    }
    Progress(1.0F);
    return differ ? 0 : 1;
}

} // namespace cache
