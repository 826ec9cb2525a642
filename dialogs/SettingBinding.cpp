#include "dialogs/SettingBinding.h"

#include "controls/UC_Check.h"
#include "controls/UC_PathText.h"
#include "foundation/CommonDialogs.h"
#include "foundation/Paths.h"
#include "foundation/Settings.h"
#include "mainwindow/SettingDefaults.h"
#include "platform/AsciiCase.h"
#include "platform/ComboBox.h"
#include "platform/PictureBox.h"
#include "platform/TextBox.h"
#include "platform/TrimBlanks.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

bool IsOn(std::string_view text)
{
    if (const std::optional<double> number = numeric::ParseNumber(text)) {
        return *number != 0.0;
    }
    return platform::EqualsIgnoringCase(text, "True");
}

// Fills the box and chooses nothing.
void Fill(platform::ComboBox& box, const std::vector<std::string>& entries)
{
    box.Clear();
    for (const std::string& entry : entries) {
        box.AddItem(entry);
    }
    box.SetListIndex(-1);
}

// Adds the stored text as an entry of its own and chooses it.
int ChooseExtraEntry(platform::ComboBox& box, const std::string& text)
{
    box.AddItem(text);
    const int index = box.ListCount() - 1;
    box.SetListIndex(index);
    return index;
}

} // namespace

SettingBinding::SettingBinding(std::string key, int base) : key_(std::move(key)), base_(base) {}

void SettingBinding::ReadStored()
{
    loaded_ = basic::GetSetting(key_, SettingDefaults::Text(key_), base_);
}

void SettingBinding::Save(std::string_view text) const
{
    basic::SaveSetting(key_, text, base_);
}

template <typename Box> QWidget* BoxBinding<Box>::Control() const
{
    return &box_;
}

template QWidget* BoxBinding<UC_Check>::Control() const;
template QWidget* BoxBinding<platform::ComboBox>::Control() const;
template QWidget* BoxBinding<platform::TextBox>::Control() const;
template QWidget* BoxBinding<UC_PathText>::Control() const;
template QWidget* BoxBinding<platform::PictureBox>::Control() const;

// ---- Check box ----

void CheckBinding::Load()
{
    ReadStored();
    shown_ = IsOn(loaded_) ? 1 : 0;
    box_.SetValue(shown_);
}

void CheckBinding::Write()
{
    const std::int32_t value = box_.Value() != 0 ? 1 : 0;
    Save(value == shown_ ? loaded_ : std::to_string(value));
}

// ---- Index list ----

ComboIndexBinding::ComboIndexBinding(platform::ComboBox& box, std::string key, std::vector<std::string> entries,
                                     int offset, int base)
    : BoxBinding(box, std::move(key), base), entries_(std::move(entries)), offset_(offset)
{
}

void ComboIndexBinding::Load()
{
    if (running_) {
        loaded_ = std::to_string(running_());
    } else {
        ReadStored();
    }
    Fill(box_, entries_);
    const int count = static_cast<int>(entries_.size());
    const std::optional<std::int32_t> value = numeric::ParseLong(loaded_);
    const std::int64_t index = value ? std::int64_t{*value} - offset_ : -1;
    if (value && index >= 0 && index < count) {
        shownIndex_ = static_cast<int>(index);
        box_.SetListIndex(shownIndex_);
    } else if (value && index >= count && clampHigh_ && count > 0) {
        shownIndex_ = count - 1;
        box_.SetListIndex(shownIndex_);
    } else if (running_) {
        // A running value outside the list: nothing chosen.
        shownIndex_ = -1;
    } else {
        shownIndex_ = ChooseExtraEntry(box_, loaded_);
    }
}

void ComboIndexBinding::Write()
{
    const int index = box_.ListIndex();
    // A running value is no stored text to keep: the box writes what it
    // shows, -1 when it shows nothing (a device list that came up empty).
    if (!running_ && (index == shownIndex_ || index >= static_cast<int>(entries_.size()))) {
        Save(loaded_);
        return;
    }
    Save(std::to_string(index < 0 || index >= static_cast<int>(entries_.size()) ? -1 : index + offset_));
}

// ---- Text list ----

ComboTextBinding::ComboTextBinding(platform::ComboBox& box, std::string key, std::vector<std::string> entries, int base)
    : BoxBinding(box, std::move(key), base), entries_(std::move(entries))
{
}

void ComboTextBinding::Load()
{
    ReadStored();
    Fill(box_, entries_);
    shownIndex_ = -1;
    for (int i = 0; i < box_.ListCount(); ++i) {
        if (box_.List(i) == loaded_) {
            shownIndex_ = i;
            box_.SetListIndex(i);
            return;
        }
    }
    if (!loaded_.empty()) {
        shownIndex_ = ChooseExtraEntry(box_, loaded_);
    }
}

void ComboTextBinding::Write()
{
    const int index = box_.ListIndex();
    if (index == shownIndex_) {
        Save(loaded_);
        return;
    }
    const std::string text = index >= 0 ? box_.List(index) : std::string();
    if (numericOnly_ && !numeric::IsNumeric(text)) {
        return;
    }
    Save(text);
}

// ---- Text ----

void TextBinding::Load()
{
    LoadAsText();
}

void TextBinding::Write()
{
    const std::string text = box_.Text();
    Save(ShowsLoadedText(text) ? loaded_ : text);
}

// ---- Number ----

NumberBinding::NumberBinding(platform::TextBox& box, std::string key, Adjust adjust, int base)
    : BoxBinding(box, std::move(key), base), adjust_(std::move(adjust))
{
}

void NumberBinding::Load()
{
    LoadAsText();
}

void NumberBinding::Write()
{
    const std::string text = box_.Text();
    if (ShowsLoadedText(text)) {
        Save(loaded_);
        return;
    }
    const std::optional<std::int32_t> value = numeric::ParseLong(text);
    if (!value) {
        return;
    }
    const std::int64_t stored = adjust_ ? adjust_(*value) : *value;
    Save(std::to_string(stored));
}

NumberBinding::Adjust NumberBinding::AbsoluteAtMost(std::int64_t cap)
{
    // The magnitude of the lowest 32-bit number does not fit 32 bits itself.
    const std::int64_t limit = cap > 0 ? cap : std::int64_t{INT32_MAX};
    return [limit](std::int64_t value) { return std::min<std::int64_t>(value < 0 ? -value : value, limit); };
}

// ---- Folder ----

void FolderBinding::Load()
{
    LoadAsText();
}

void FolderBinding::Write()
{
    const std::string text = box_.Text();
    Save(ShowsLoadedText(text) ? loaded_ : Normalised(text));
}

std::string FolderBinding::Normalised(std::string_view text)
{
    const std::string_view trimmed = platform::TrimBlanks(text);
    if (trimmed.empty()) {
        return {};
    }
    return basic::FixTrailingSeparator(trimmed, 0);
}

// ---- Path ----

void PathBinding::Load()
{
    LoadAsText();
}

void PathBinding::Write()
{
    const std::string text = box_.Text();
    Save(ShowsLoadedText(text) ? loaded_ : text);
}

// ---- Colour ----

ColourBinding::ColourBinding(platform::PictureBox& box, std::string key, int base)
    : BoxBinding(box, std::move(key), base)
{
    box_.Mouse.MouseUp = [this](int button, int, double, double) { MouseUp(button); };
}

void ColourBinding::Load()
{
    ReadStored();
    chosen_ = false;
    // A text that is no colour shows black until the operator picks one.
    box_.SetBackColor(numeric::ParseLong(loaded_).value_or(0));
}

void ColourBinding::Write()
{
    Save(chosen_ ? std::to_string(box_.BackColor()) : loaded_);
}

void ColourBinding::MouseUp(int button)
{
    std::int32_t colour = 0;
    if (button == 1) {
        colour = FCT_GetColor::GetColor(box_.BackColor(), box_.window());
        // A cancelled chooser gives the colour back: nothing was chosen.
        if (colour == box_.BackColor()) {
            return;
        }
    }
    box_.SetBackColor(colour);
    chosen_ = true;
}
