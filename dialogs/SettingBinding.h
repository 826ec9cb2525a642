#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QWidget;
class UC_Check;
class UC_PathText;
namespace platform {
class ComboBox;
class PictureBox;
class TextBox;
} // namespace platform

// One settings key shown in one control of the configuration dialog. Load
// reads the stored text (an unset key reads as the default the program runs
// with, SettingDefaults.h) and shows it; Write stores what the control shows.
// A control the operator left as it was loaded writes the loaded text back
// unchanged, so an OK never rewrites a value it cannot show.
class SettingBinding {
public:
    virtual ~SettingBinding() = default;
    SettingBinding(const SettingBinding&) = delete;
    SettingBinding& operator=(const SettingBinding&) = delete;

    virtual void Load() = 0;
    virtual void Write() = 0;
    // The control that shows the value.
    virtual QWidget* Control() const = 0;

    const std::string& Key() const { return key_; }
    int Base() const { return base_; }
    // The text Load read.
    const std::string& Loaded() const { return loaded_; }

protected:
    // base 1: the store all sessions share.
    SettingBinding(std::string key, int base);
    // Reads the stored text (or the default) into Loaded.
    void ReadStored();
    void Save(std::string_view text) const;

    std::string loaded_;

private:
    std::string key_;
    int base_;
};

// A binding shown in one box (a control of type Box).
template <typename Box> class BoxBinding : public SettingBinding {
public:
    QWidget* Control() const override;

protected:
    BoxBinding(Box& box, std::string key, int base) : SettingBinding(std::move(key), base), box_(box) {}
    // Reads the stored text and shows it as the box's text.
    void LoadAsText()
    {
        ReadStored();
        box_.SetText(loaded_);
        shownText_ = box_.Text();
    }
    // Whether the box still shows the text it was loaded with. The loaded
    // text itself cannot tell: a stored byte that is no UTF-8 shows as U+FFFD.
    bool ShowsLoadedText(std::string_view text) const { return text == shownText_; }

    Box& box_;

private:
    std::string shownText_;
};

// A check box: on for a stored non-zero number or "True"; writes 0 or 1.
class CheckBinding final : public BoxBinding<UC_Check> {
public:
    CheckBinding(UC_Check& box, std::string key, int base = 0) : BoxBinding(box, std::move(key), base) {}
    void Load() override;
    void Write() override;

private:
    std::int32_t shown_ = 0;
};

// A list whose entry index stands for the value (value = index + offset).
// A stored value the list cannot show becomes an extra entry holding the
// stored text, which OK writes back unless another entry was picked.
class ComboIndexBinding final : public BoxBinding<platform::ComboBox> {
public:
    ComboIndexBinding(platform::ComboBox& box, std::string key, std::vector<std::string> entries, int offset = 0,
                      int base = 0);
    // A value above the last entry shows the last entry instead of an
    // extra one.
    ComboIndexBinding& ClampHigh()
    {
        clampHigh_ = true;
        return *this;
    }
    // Shows the value the program runs with, not the stored one; OK writes
    // the entry shown, -1 for none.
    ComboIndexBinding& Running(std::function<std::int32_t()> value)
    {
        running_ = std::move(value);
        return *this;
    }
    void Load() override;
    void Write() override;

private:
    std::vector<std::string> entries_;
    int offset_;
    bool clampHigh_ = false;
    std::function<std::int32_t()> running_;
    int shownIndex_ = -1;
};

// A list whose entry text is the value. A stored text that is no entry
// becomes an extra entry holding it. With NumericOnly, a picked entry that is
// not a number leaves the key unchanged.
class ComboTextBinding final : public BoxBinding<platform::ComboBox> {
public:
    ComboTextBinding(platform::ComboBox& box, std::string key, std::vector<std::string> entries, int base = 0);
    ComboTextBinding& NumericOnly()
    {
        numericOnly_ = true;
        return *this;
    }
    void Load() override;
    void Write() override;

private:
    std::vector<std::string> entries_;
    bool numericOnly_ = false;
    int shownIndex_ = -1;
};

// A text box whose text is the value.
class TextBinding final : public BoxBinding<platform::TextBox> {
public:
    TextBinding(platform::TextBox& box, std::string key, int base = 0) : BoxBinding(box, std::move(key), base) {}
    void Load() override;
    void Write() override;
};

// A number box: shows the stored text as it is; an edited text is written
// only when it is a number that fits 32 bits (then through Adjust, which
// applies the box's sign rule and bounds), else the key keeps its value.
class NumberBinding final : public BoxBinding<platform::TextBox> {
public:
    using Adjust = std::function<std::int64_t(std::int64_t)>;
    NumberBinding(platform::TextBox& box, std::string key, Adjust adjust = nullptr, int base = 0);
    void Load() override;
    void Write() override;

    // The value an edited text stores: absolute value, at most cap (0: no cap
    // beyond the 32-bit range).
    static Adjust AbsoluteAtMost(std::int64_t cap);

private:
    Adjust adjust_;
};

// A folder box: an edited folder is stored trimmed of blanks, with a
// trailing separator (empty stays empty).
class FolderBinding final : public BoxBinding<UC_PathText> {
public:
    FolderBinding(UC_PathText& box, std::string key, int base = 0) : BoxBinding(box, std::move(key), base) {}
    void Load() override;
    void Write() override;

    // The folder text as OK stores it: blanks and tabs trimmed, a trailing
    // separator added.
    static std::string Normalised(std::string_view text);
};

// A path box for a program or file: its text is the value, stored exactly as
// it stands.
class PathBinding final : public BoxBinding<UC_PathText> {
public:
    PathBinding(UC_PathText& box, std::string key, int base = 0) : BoxBinding(box, std::move(key), base) {}
    void Load() override;
    void Write() override;
};

// A colour box: its back colour (&HBBGGRR) is the value. Releasing the left
// mouse button on it opens the colour chooser on that colour (a cancelled
// chooser keeps it); any other button makes it black. A box the operator
// never touched writes the loaded text back.
class ColourBinding final : public BoxBinding<platform::PictureBox> {
public:
    ColourBinding(platform::PictureBox& box, std::string key, int base = 0);
    void Load() override;
    void Write() override;

    // A mouse button (1 left, 2 right, 4 middle) released on the box.
    void MouseUp(int button);

private:
    bool chosen_ = false;
};
