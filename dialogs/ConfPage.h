#pragma once

#include "dialogs/SettingBinding.h"
#include "platform/Surface.h"

#include <QWidget>

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class UC_Check;
class UC_PathText;
namespace platform {
class ComboBox;
class PictureBox;
class TextBox;
} // namespace platform

// One page of the configuration dialog: a panel that paints the dialog's
// background, holds the page's controls with their labels printed on it, and
// a table of bindings, one per settings key, in the order OK writes them.
// A page is built once, on its first visit; a page class only places its
// controls and binds them (BuildControls). Pages that have nothing to show
// yet stay empty.
class ConfPage : public QWidget {
public:
    explicit ConfPage(QWidget* parent);
    ~ConfPage() override;
    ConfPage(const ConfPage&) = delete;
    ConfPage& operator=(const ConfPage&) = delete;

    // Sizes the panel (twips), paints it, builds the controls and shows the
    // stored values. checkFace is the box image every check box shares.
    void Build(int widthTwips, int heightTwips, platform::Surface* checkFace);
    // Every built page is asked before any page is written. False refuses
    // the OK; the page tells the operator why, if at all.
    virtual bool Validate();
    // Writes every binding, in order.
    virtual void Write();

    platform::Surface& Picture() { return picture_; }
    const std::vector<std::unique_ptr<SettingBinding>>& Bindings() const { return bindings_; }
    // The binding of key, null when the page has none.
    SettingBinding* BindingOf(std::string_view key) const;
    // The control that shows key, null when the page has none.
    template <class C> C* ControlOf(std::string_view key) const
    {
        const SettingBinding* binding = BindingOf(key);
        return binding != nullptr ? dynamic_cast<C*>(binding->Control()) : nullptr;
    }

protected:
    virtual void BuildControls() {}

    // Controls at a place in twips. A check box gets its caption, face and
    // the background behind it; labels go on the panel.
    UC_Check& NewCheck(std::string_view caption, double left, double top, double width);
    platform::ComboBox& NewCombo(double left, double top, double width);
    platform::TextBox& NewText(double left, double top, double width);
    UC_PathText& NewFolder(double left, double top, double width);
    // Prints text beside control (basic::PrintCentered positions; 6 is left
    // of it, centred).
    void Label(std::string_view text, const QWidget& control, int position = 6);

    // The binding kinds, made, loaded at once and kept in writing order.
    UC_Check& Check(std::string key, std::string_view caption, double left, double top, double width);
    platform::ComboBox& IndexCombo(std::string key, std::vector<std::string> entries, double left, double top,
                                   double width, int offset = 0);
    platform::TextBox& Text(std::string key, double left, double top, double width, int base = 0);
    platform::TextBox& Number(std::string key, double left, double top, double width,
                              NumberBinding::Adjust adjust = nullptr);
    UC_PathText& Folder(std::string key, double left, double top, double width);
    // A box for choosing a program; the chosen path is stored exactly as
    // chosen (programs here have no extension to add).
    UC_PathText& Program(std::string key, double left, double top, double width);
    // A colour box with a border.
    platform::PictureBox& Colour(std::string key, double left, double top, double width, double height);
    // Keeps a binding made by the page itself, after loading it.
    template <class B> B& Bind(std::unique_ptr<B> binding)
    {
        B& kept = *binding;
        kept.Load();
        bindings_.push_back(std::move(binding));
        return kept;
    }

    // Heights of one line of controls, twips.
    static constexpr double CheckHeight = 270;
    static constexpr double BoxHeight = 315;
    static constexpr double RowPitch = 405;
    // The top of a line of controls (row 0 first; a fraction lies between).
    static double RowTop(double row) { return 240 + row * RowPitch; }

    // A settings switch: its key and its caption in both languages.
    struct Switch {
        const char* key;
        const char* japanese;
        const char* english;
    };
    // The switches as check boxes in columns pitch apart from left, rows per
    // column, the first at slot first (column slot / rows, row slot % rows).
    void SwitchColumns(std::span<const Switch> switches, int first, int rows, double left, double pitch);

    void paintEvent(QPaintEvent* event) override;

private:
    platform::Surface picture_;
    platform::Surface* checkFace_ = nullptr;
    std::vector<std::unique_ptr<SettingBinding>> bindings_;
};
