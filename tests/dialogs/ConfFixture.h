#pragma once

#include "dialogs/FrmConf.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/TwipsFixture.h"

#include <map>
#include <memory>
#include <string>

class ConfPage;

namespace conftest {

// The configuration dialog on a settings store of its own (the registry in a
// temporary folder), four null output devices ("Null 1" .. "Null 4"), session
// 0 (the first) in Japanese, the program running back-end 3 (waveOut).
class ConfFixture : public testsupport::TwipsFixture {
protected:
    ConfFixture();
    ~ConfFixture() override;

    // section "tolv" is session 0's own store and the store all sessions
    // share; "tolvB" is session 1's.
    void Store(const std::string& key, const std::string& value, const std::string& section = "tolv");
    // The stored text; "(missing)" for a key never written.
    std::string Stored(const std::string& key, const std::string& section = "tolv");
    // Every stored key of a section with its text.
    std::map<std::string, std::string> Section(const std::string& section = "tolv");
    // Every file of the store, byte for byte.
    std::map<std::string, std::string> StoreFiles() const;

    // Opens a dialog and lets its one-shot timer build the tab strip and the
    // Player page.
    FrmConf& Open();
    // Clicks a tab (the page is built on its first visit) and returns the page.
    template <class P = ConfPage> P& Visit(int index)
    {
        dialog->TabConf_TabClicked(index);
        return *dynamic_cast<P*>(dialog->Page(index));
    }
    // Runs a session of the given index (0 first, 1 "B") from now on.
    void RunAsSession(int index);

    testsupport::ScratchFolder program;
    testsupport::ScratchRegistry registry;
    std::unique_ptr<FrmConf> dialog;
};

} // namespace conftest
