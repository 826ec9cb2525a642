// Damaged ".tip" side files and a damaged shared "conf.ini": no crash, the
// values read stay within their tables, and what a read writes back reads
// the same the next time.
#include "CorruptionLoop.h"

#include "cache/TipFile.h"
#include "cache/TipTexts.h"
#include "foundation/ColumnNames.h"
#include "foundation/DayLog.h"
#include "foundation/HostReachability.h"
#include "foundation/ModuleValues.h"
#include "foundation/ServerFolders.h"
#include "foundation/SharedConf.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace acceptance;

void WriteFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// The shared values that both readers touch, kept and given back.
class SharedValues : public testing::Test {
protected:
    void SetUp() override
    {
        servers_ = FCT_Quind::Servers;
        numRef_ = FCT_Quind::NumRef;
        refNames_ = FCT_Quind::RefNames;
        typeNames_ = FCT_Quind::TypeNames;
        typeColors_ = FCT_Quind::TypeColors;
        logError_ = basic::LogError;
        basic::LogError = 0;
        FCT_Quind::Servers = {};
    }
    void TearDown() override
    {
        FCT_Quind::Servers = servers_;
        FCT_Quind::NumRef = numRef_;
        FCT_Quind::RefNames = refNames_;
        FCT_Quind::TypeNames = typeNames_;
        FCT_Quind::TypeColors = typeColors_;
        basic::LogError = logError_;
        basic::SetAppPath("");
        FCT_Quind::LocalConfPath.clear();
    }

    testsupport::ScratchFolder scratch;

private:
    std::array<FCT_Quind::ServerFolder, FCT_Quind::ServerCount> servers_;
    std::int32_t numRef_ = 0;
    std::vector<std::string> refNames_;
    std::array<std::string, FCT_Quind::TypeCount> typeNames_;
    std::array<basic::Color, FCT_Quind::TypeCount> typeColors_;
    std::int32_t logError_ = 0;
};

class TipFiles : public SharedValues {
protected:
    void Check(std::span<const std::uint8_t> input)
    {
        FCT_Quind::Servers[0].SrvPath = scratch.Folder("srv");
        FCT_Quind::Servers[0].SaveTip = 1;
        FCT_Quind::NumRef = 3;
        const std::string sound = scratch / "srv/news/a.wav";
        scratch.Folder("srv/news");
        WriteFile(sound + ".tip", input);

        FCT_Quind::TipInfo tip;
        const std::int32_t read = FCT_Quind::ReadTipFile(sound, tip, "");
        EXPECT_TRUE(read == 0 || read == 1);
        EXPECT_EQ(tip.Refs.size(), 3U);

        cache::TipTexts texts({[] {
                                   cache::TipDisplay display;
                                   display.GetTip = 1;
                                   display.DispItRef = {1, 1, 1};
                                   return display;
                               },
                               [](std::string_view path) { return std::string(path); }, [] { return false; }});
        for (const std::int32_t mode : {0, 1}) {
            std::vector<std::string> shown;
            const std::int32_t got = texts.GetTipInfo(sound, shown, mode);
            EXPECT_EQ(got, read);
            ASSERT_FALSE(shown.empty());
            EXPECT_TRUE(AllDigits(shown.back())) << shown.back();
        }
    }

    static const CorruptionKind& Kind()
    {
        static const CorruptionKind kind{
            "tip",
            {ToBytes("news\r\n2\r\n61000\r\n3\r\n4\r\n5\r\n6\r\n20250401\r\n20250430\r\nK\r\n10\r\n"
                     "11\r\nref\r\nfirst\r\nsecond\r\nthird\r\n"),
             ToBytes("\x8B\xE0\n15\n120\n\n\n\n\n20250401120000\n\n\x8E\x52\n"), ToBytes("0\r3\r120")},
            16 * 1024};
        return kind;
    }
};

TEST_F(TipFiles, CorruptionLoop)
{
    RunCorruptionLoop(Kind(), [this](std::span<const std::uint8_t> input) { Check(input); });
}

TEST_F(TipFiles, RegressCases)
{
    ReplayRegressCases(Kind().name, [this](std::span<const std::uint8_t> input) { Check(input); });
}

// What a load of "conf.ini" leaves in the shared values.
struct ConfValues {
    std::array<std::string, FCT_Quind::TriggerCount> triggers;
    std::array<std::string, FCT_Quind::AirNameCount> airNames;
    std::int32_t airNameEnd = 0;
    std::int32_t numRef = 0;
    std::vector<std::string> refNames;
    std::array<std::string, FCT_Quind::TypeCount> typeNames;
    std::array<basic::Color, FCT_Quind::TypeCount> typeColors;
    std::array<basic::Color, FCT_Quind::TypeCount> typeShades;
    std::array<std::int32_t, FCT_Quind::TabCount> tabVisible;
    std::int32_t hourAdjust = 0;
    std::array<std::string, 9> columnNames;
    bool operator==(const ConfValues&) const = default;

    static ConfValues Now()
    {
        return {FCT_Quind::TriggerStrings, FCT_Quind::AirNames,   FCT_Quind::AirNameEnd, FCT_Quind::NumRef,
                FCT_Quind::RefNames,       FCT_Quind::TypeNames,  FCT_Quind::TypeColors, FCT_Quind::TypeShades,
                FCT_Quind::TabVisible,     FCT_Quind::HourAdjust, FCT_Quind::ColumnNames};
    }
};

class SharedConfFiles : public SharedValues {
protected:
    void Check(std::span<const std::uint8_t> input)
    {
        testsupport::ScratchFolder program;
        basic::SetAppPath(program.Path());
        FCT_Quind::LocalConfPath.clear();
        FCT_Quind::InitDefaultColumnNames();
        WriteFile(program / "conf.ini", input);

        FCT_Quind::LoadSaveSharedConf(0);
        const ConfValues first = ConfValues::Now();
        EXPECT_GE(first.numRef, 1);
        EXPECT_LE(first.numRef, FCT_Quind::MaxRefCount);
        EXPECT_EQ(first.refNames.size(), static_cast<std::size_t>(first.numRef));
        EXPECT_GE(first.airNameEnd, 1);
        EXPECT_LE(first.airNameEnd, FCT_Quind::AirNameCount + 1);
        for (const basic::Color shade : first.typeShades) {
            EXPECT_GE(shade, 0);
            EXPECT_LE(shade, 0xFFFFFF);
        }
        // What the first load wrote back reads the same.
        FCT_Quind::LoadSaveSharedConf(0);
        EXPECT_TRUE(ConfValues::Now() == first);
    }

    static const CorruptionKind& Kind()
    {
        static const CorruptionKind kind{
            "confini",
            {ToBytes("[conf]\r\nTriggerString_1=TIME\r\nAirName_1=Air1\r\nAirName_2=\r\nNumRef=3\r\nRefName_1=r1\r\n"
                     "TypeName_1=news\r\nTypeColor_1=255\r\nTypeColor_2=16777215\r\nCommandColor=6316128\r\n"
                     "TabVisible_1=0\r\nHourAdjust=18000\r\nUseTime=1\r\nDriveName=d\r\n"),
             ToBytes("[conf]\nNumRef=8\nRefName_8=\x8E\x51\x8F\xC6\nTypeColor_16=-1\n[other]\nNumRef=1\n")},
            16 * 1024,
            // A first load writes every missing key back, each an atomic
            // save: a case costs far more than the others.
            60};
        return kind;
    }
};

TEST_F(SharedConfFiles, CorruptionLoop)
{
    RunCorruptionLoop(Kind(), [this](std::span<const std::uint8_t> input) { Check(input); });
}

TEST_F(SharedConfFiles, RegressCases)
{
    ReplayRegressCases(Kind().name, [this](std::span<const std::uint8_t> input) { Check(input); });
}

} // namespace
