#include "dialogs/ConfPageSound.h"

#include "audio/SampleFormats.h"
#include "foundation/Language.h"
#include "platform/ComboBox.h"
#include "platform/TextBox.h"

#include <string>
#include <vector>

namespace {

constexpr double Controls = 2400;
// The format codes the material can have (mono and stereo, 8 to 24 bits).
constexpr int HighestMaterialFormat = 5;

} // namespace

void ConfPageSound::BuildControls()
{
    Check("CheckWavFmt", basic::LangText("素材形式確認", "Check Wav Format"), Controls, RowTop(0) + 22, 2400);
    std::vector<std::string> rates;
    for (const std::int32_t rate : WaveMMIO::SampleRateList) {
        rates.push_back(std::to_string(rate));
    }
    platform::ComboBox& rate = NewCombo(Controls + 2520, RowTop(0), 1200);
    Bind(std::make_unique<ComboTextBinding>(rate, "SozaiFreq", std::move(rates))).NumericOnly();
    std::vector<std::string> formats;
    for (int code = 0; code <= HighestMaterialFormat; ++code) {
        formats.push_back(WaveMMIO::FormatCodeName(code));
    }
    IndexCombo("SozaiMode", std::move(formats), Controls + 3840, RowTop(0), 1800);
    Label(basic::LangText("ドライブ", "Drives"), Text("SoundDrive", Controls, RowTop(1), 5400));
    Check("PreReadSound", basic::LangText("ファイルアクセス", "PreRead Sound"), Controls, RowTop(2) + 22, 2400);
}
