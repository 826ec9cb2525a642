#pragma once

#include "dialogs/ConfPage.h"

// Page 3 "Cache": the local cache folder and the current server's folder
// (kept with the server folder settings, changed only in the first session)
// and the caching switches.
class ConfPageCache final : public ConfPage {
public:
    using ConfPage::ConfPage;

    UC_PathText& TextPath(int index) { return *(index == 0 ? localPath_ : serverPath_); }
    void Write() override;

protected:
    void BuildControls() override;

private:
    UC_PathText* localPath_ = nullptr;
    UC_PathText* serverPath_ = nullptr;
    std::string localLoaded_;
    std::string serverLoaded_;
};
