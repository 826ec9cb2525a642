#include "cache/CacheService.h"

#include "foundation/DayLog.h"
#include "foundation/Parms.h"
#include "mainwindow/MainState.h"
#include "mainwindow/ports/FileTransferPort.h"

namespace cache {

CacheService::CacheService(const MainState& state, FileTransferPort& transfer)
    : state_(state), transfer_(transfer),
      tips_({[] {
                 return TipDisplay{parms::GetTip, parms::DispIt, parms::DispItRef};
             },
             [this](std::string_view path) { return LocalFilename ? LocalFilename(path) : std::string(); },
             [this] { return state_.SomethingPlays != 0; }})
{
}

void CacheService::MenuCache_Click(int index)
{
    // The copies of the cache go through the one transfer control.
    if (transfer_.Busy()) {
        basic::WriteLog("The Cache menu waits: a transfer runs", 0, 0);
        return;
    }
    basic::WriteLog("The Cache menu (" + std::to_string(index) + "): not available in this build", 0, 0);
}

int CacheService::GetTipInfo(std::string_view path, std::vector<std::string>& texts, int mode)
{
    return tips_.GetTipInfo(path, texts, mode);
}

} // namespace cache
