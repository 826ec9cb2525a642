#include "dialogs/ConfPageCache.h"

#include "controls/UC_Check.h"
#include "controls/UC_PathText.h"
#include "foundation/Language.h"
#include "foundation/ServerFolders.h"
#include "foundation/SessionValues.h"
#include "foundation/Settings.h"
#include "platform/base/AppIdentity.h"

#include <string>

namespace {

constexpr double Controls = 2400;

} // namespace

void ConfPageCache::BuildControls()
{
    const bool firstSession = basic::SessionIndex == 0;
    // The folders as configured, never a folder that stands in for a
    // missing one.
    localLoaded_ = basic::GetSetting("LocalPath", "", 0, App::Title);
    serverLoaded_ = basic::GetSetting("SrvPath_" + std::to_string(FCT_Quind::CurrentServer + 1), "", 0, App::Title);
    localPath_ = &NewFolder(Controls, RowTop(0), 6000);
    localPath_->SetText(localLoaded_);
    localPath_->SetEnabled(firstSession);
    Label(basic::LangText("キャッシュフォルダ", "Cache Folder"), *localPath_);
    serverPath_ = &NewFolder(Controls, RowTop(1), 6000);
    serverPath_->SetText(serverLoaded_);
    serverPath_->SetEnabled(firstSession);
    Label(basic::LangText("サーバーフォルダ", "Server Folder"), *serverPath_);

    for (int n = 0; n < 4; ++n) {
        UC_Check& box =
            Check("CacheAtDrop_" + std::to_string(n + 1), basic::LangText("出力", "Output") + std::to_string(n + 1),
                  Controls + n * 1200, RowTop(3) + 22, 1140);
        if (n == 0) {
            Label(basic::LangText("ドロップ時にキャッシュ", "Cache At Drop"), box, 1);
        }
    }
    Check("CacheAll", basic::LangText("ローカルファイルもキャッシュ", "Cache Local File"), Controls, RowTop(4) + 22,
          4000);
    Check("AlertNoCache", basic::LangText("キャッシュ警告", "Alert No Cache"), Controls, RowTop(5) + 22, 4000);
    Check("CheckCacheLite", basic::LangText("簡易キャッシュ確認", "Check Cache Once"), Controls, RowTop(6) + 22, 4000);
    Check("ShowCacheMenu", basic::LangText("キャッシュメニュー表示", "Show Cache Menu"), Controls, RowTop(7) + 22,
          4000);
}

void ConfPageCache::Write()
{
    ConfPage::Write();
    if (basic::SessionIndex != 0) {
        return;
    }
    // The server settings are saved as a whole; an untouched pair leaves
    // them as they are stored.
    const std::string local = localPath_->Text();
    const std::string server = serverPath_->Text();
    if (local == localLoaded_ && server == serverLoaded_) {
        return;
    }
    FCT_Quind::LocalPath = local == localLoaded_ ? local : FolderBinding::Normalised(local);
    FCT_Quind::Servers[FCT_Quind::CurrentServer].SrvPath =
        server == serverLoaded_ ? server : FolderBinding::Normalised(server);
    FCT_Quind::LoadSaveServerSettings(1, App::Title);
}
