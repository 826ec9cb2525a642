#include "dialogs/ConfPage.h"

#include "controls/ApplySkin.h"
#include "controls/UC_Check.h"
#include "controls/UC_PathText.h"
#include "foundation/Background.h"
#include "foundation/Language.h"
#include "foundation/PrintCentered.h"
#include "platform/ComboBox.h"
#include "platform/PictureBox.h"
#include "platform/TextBox.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Twips.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

int PerPixel()
{
    return std::max(basic::TwipsPerPixel, 1);
}

basic::ControlBounds BoundsOf(const QWidget& control)
{
    const double tpp = PerPixel();
    const QRect r = control.geometry();
    return {r.x() * tpp, r.y() * tpp, r.width() * tpp, r.height() * tpp};
}

} // namespace

ConfPage::ConfPage(QWidget* parent) : QWidget(parent) {}

ConfPage::~ConfPage() = default;

void ConfPage::Build(int widthTwips, int heightTwips, platform::Surface* checkFace)
{
    checkFace_ = checkFace;
    const int tpp = PerPixel();
    resize(std::max(widthTwips / tpp, 1), std::max(heightTwips / tpp, 1));
    picture_ = platform::Surface(width(), height());
    basic::PaintBackground(picture_, -2, -1, -1, -1);
    basic::PaintBackground(picture_, 14, -1, -1, -1);
    BuildControls();
    update();
}

bool ConfPage::Validate()
{
    return true;
}

void ConfPage::Write()
{
    for (const auto& binding : bindings_) {
        binding->Write();
    }
}

SettingBinding* ConfPage::BindingOf(std::string_view key) const
{
    for (const auto& binding : bindings_) {
        if (binding->Key() == key) {
            return binding.get();
        }
    }
    return nullptr;
}

UC_Check& ConfPage::NewCheck(std::string_view caption, double left, double top, double width)
{
    auto* box = new UC_Check(this);
    platform::MoveTwips(*box, left, top, width, CheckHeight);
    basic::ApplySkin(*box, caption, 0, &picture_, 9.0F, checkFace_, 1.0F);
    box->show();
    return *box;
}

platform::ComboBox& ConfPage::NewCombo(double left, double top, double width)
{
    auto* box = new platform::ComboBox(this);
    box->SetStyle(platform::ComboDropDownList);
    platform::MoveTwips(*box, left, top, width, BoxHeight);
    box->show();
    return *box;
}

platform::TextBox& ConfPage::NewText(double left, double top, double width)
{
    auto* box = new platform::TextBox(this);
    platform::MoveTwips(*box, left, top, width, BoxHeight);
    box->show();
    return *box;
}

UC_PathText& ConfPage::NewFolder(double left, double top, double width)
{
    auto* box = new UC_PathText(this);
    box->SetUsage(0);
    box->SetTextHeight(static_cast<float>(BoxHeight));
    platform::MoveTwips(*box, left, top, width, BoxHeight);
    box->Init();
    box->show();
    return *box;
}

void ConfPage::Label(std::string_view text, const QWidget& control, int position)
{
    basic::PrintCentered(picture_, BoundsOf(control), text, position, 0, 0);
}

UC_Check& ConfPage::Check(std::string key, std::string_view caption, double left, double top, double width)
{
    UC_Check& box = NewCheck(caption, left, top, width);
    Bind(std::make_unique<CheckBinding>(box, std::move(key)));
    return box;
}

void ConfPage::SwitchColumns(std::span<const Switch> switches, int first, int rows, double left, double pitch)
{
    for (std::size_t k = 0; k < switches.size(); ++k) {
        const int slot = first + static_cast<int>(k);
        const Switch& entry = switches[k];
        Check(entry.key, basic::LangText(entry.japanese, entry.english), left + (slot / rows) * pitch,
              RowTop(slot % rows) + 22, pitch - 60);
    }
}

platform::ComboBox& ConfPage::IndexCombo(std::string key, std::vector<std::string> entries, double left, double top,
                                         double width, int offset)
{
    platform::ComboBox& box = NewCombo(left, top, width);
    Bind(std::make_unique<ComboIndexBinding>(box, std::move(key), std::move(entries), offset));
    return box;
}

platform::TextBox& ConfPage::Text(std::string key, double left, double top, double width, int base)
{
    platform::TextBox& box = NewText(left, top, width);
    Bind(std::make_unique<TextBinding>(box, std::move(key), base));
    return box;
}

platform::TextBox& ConfPage::Number(std::string key, double left, double top, double width,
                                    NumberBinding::Adjust adjust)
{
    platform::TextBox& box = NewText(left, top, width);
    Bind(std::make_unique<NumberBinding>(box, std::move(key), std::move(adjust)));
    return box;
}

UC_PathText& ConfPage::Folder(std::string key, double left, double top, double width)
{
    UC_PathText& box = NewFolder(left, top, width);
    Bind(std::make_unique<FolderBinding>(box, std::move(key)));
    return box;
}

UC_PathText& ConfPage::Program(std::string key, double left, double top, double width)
{
    UC_PathText& box = NewFolder(left, top, width);
    box.SetUsage(1);
    box.SetExt("");
    box.SetFilter(basic::LangText("プログラム|*", "Programs|*"));
    Bind(std::make_unique<PathBinding>(box, std::move(key)));
    return box;
}

platform::PictureBox& ConfPage::Colour(std::string key, double left, double top, double width, double height)
{
    auto* box = new platform::PictureBox(this);
    box->SetBorderStyle(1);
    platform::MoveTwips(*box, left, top, width, height);
    box->show();
    Bind(std::make_unique<ColourBinding>(*box, std::move(key)));
    return *box;
}

void ConfPage::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), picture_.Image(), event->rect());
}
