#pragma once

#include "dialogs/ConfPages.h"
#include "platform/Form.h"
#include "platform/Surface.h"
#include "platform/WindowTimer.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class ConfPage;
class UC_Check;
class UC_Tab;
namespace controls {
class UC_Buttons;
}

// The configuration dialog: twelve pages on a tab strip. Only the tab strip
// and the Player page are built when the dialog opens (by the one-shot
// Timer1); every other page is built on its first visit and keeps what the
// operator did on it while the dialog stays open. OK asks every built page
// to validate, then writes the built pages in page order (and the MIDI
// device the Remote page shows, opened or not) and sets
// parms::ConfigConfirmed; a refused OK writes nothing and the dialog stays
// open. A value the store refused is named in a message and the dialog stays
// open; the values stored are applied however it closes. Cancel writes
// nothing.
class FrmConf final : public platform::Form {
public:
    static constexpr int PageCount = 12;
    // Inner size of the dialog and of a page panel, twips.
    static constexpr int InnerWidth = 9240;
    static constexpr int InnerHeight = 6960;
    static constexpr int PageHeight = 5640;

    explicit FrmConf(QWidget* owner);
    ~FrmConf() override;
    FrmConf(const FrmConf&) = delete;
    FrmConf& operator=(const FrmConf&) = delete;

    // Caption, font, ConfigConfirmed 0, background, hourglass, Timer1 on.
    void Form_Load();
    // Builds the tab strip and the Player page and shows it.
    void Timer1_Timer();
    void TabConf_TabClicked(int index);
    // -1: the tab strip and the button row; 0..11: that page.
    void LoadTabPage(int index);
    void OKCancelButtons_ButtonClicked(int index);
    // OK; false when a page refused it (nothing was written then) or the
    // store refused a value (the others were written).
    bool OK();
    void Cancel();

    bool PageLoaded(int index) const;
    // The page's panel; null before it was built.
    ConfPage* Page(int index) const;
    // The page shown.
    int VisiblePage() const;
    UC_Tab& TabConf() { return *tabConf_; }
    controls::UC_Buttons& OKCancelButtons() { return *okCancel_; }
    platform::WindowTimer Timer1;

    // Makes the page of an index (tests put pages of their own here).
    std::function<ConfPage*(int index, QWidget* parent)> PageFactory = MakeConfPage;

    // Called last in the unload.
    std::function<void()> AfterUnload;

    // The captions of the tabs, the same in both languages.
    static const std::array<const char*, PageCount> TabCaptions;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    platform::Surface picture_;
    UC_Tab* tabConf_;
    controls::UC_Buttons* okCancel_;
    // Draws the face every check box of the dialog shares.
    UC_Check* faceSource_;
    std::array<ConfPage*, PageCount> pages_{};
    bool building_ = false;
};
