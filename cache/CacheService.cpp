#include "cache/CacheService.h"

#include "foundation/Parms.h"
#include "mainwindow/MainState.h"

namespace cache {

CacheService::CacheService(MainState& state, FileTransferPort& transfer)
    : state_(state), cache_(state, transfer),
      tips_({[] {
                 return TipDisplay{parms::GetTip, parms::DispIt, parms::DispItRef};
             },
             [this](std::string_view path) { return LocalFilename ? LocalFilename(path) : std::string(); },
             [this] { return state_.SomethingPlays != 0; }})
{
}

int CacheService::GetTipInfo(std::string_view path, std::vector<std::string>& texts, int mode)
{
    return tips_.GetTipInfo(path, texts, mode);
}

} // namespace cache
