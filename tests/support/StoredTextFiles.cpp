#include "support/StoredTextFiles.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <random>
#include <span>

namespace testsupport {

namespace {

constexpr std::array<const char*, 14> European{"Café Crème", "/srv/mixer±30°", "Señor Müller", "Größe",  "naïve façade",
                                               "Ærøskøbing", "Łódź",           "déjà vu",      "Zürich", "© 2026 ®",
                                               "½ ¼ ¾",      "€ 100",          "İstanbul",     "Ça va"};
constexpr std::array<const char*, 12> OtherScripts{"Ελληνικά", "Русский текст", "עברית",   "العربية",
                                                   "ภาษาไทย",  "हिन्दी",         "ქართული", "한국어 텍스트",
                                                   "中文文本", "Tiếng Việt",    "😀🎵",      "“quoted” – dash…"};

// The characters code page 932 holds for lead bytes from first to last and
// trail bytes from low to high (and one-byte characters from low to high
// when first is 0).
std::vector<std::string> Cp932Characters(int first, int last, int low, int high)
{
    std::vector<std::string> all;
    for (int lead = first; lead <= last; ++lead) {
        for (int trail = low; trail <= high; ++trail) {
            std::vector<std::uint8_t> code{static_cast<std::uint8_t>(trail)};
            if (lead != 0) {
                code.insert(code.begin(), static_cast<std::uint8_t>(lead));
            }
            const std::string text = textcodec::DecodeCp932(code);
            if (trail != 0x7F && text.find(textcodec::ReplacementCharacter) == std::string::npos) {
                all.push_back(text);
            }
        }
    }
    return all;
}

// Every character code page 932 holds in the rows of kana and kanji, and the
// half-width katakana.
const std::vector<std::string>& JapaneseCharacters()
{
    static const std::vector<std::string> characters = [] {
        std::vector<std::string> all = Cp932Characters(0x82, 0x9F, 0x40, 0xFC);
        for (const auto& more : {Cp932Characters(0xE0, 0xEA, 0x40, 0xFC), Cp932Characters(0, 0, 0xA1, 0xDF)}) {
            all.insert(all.end(), more.begin(), more.end());
        }
        return all;
    }();
    return characters;
}

// count, or as many as TOLV_STORED_TEXT_CASES says (for a longer run by hand).
int CaseCount(int count)
{
    const char* asked = std::getenv("TOLV_STORED_TEXT_CASES");
    return asked != nullptr && std::atoi(asked) > 0 ? std::atoi(asked) : count;
}

// One damaged character somewhere in the UTF-8 text, which has at least one
// character of more than one byte.
std::string Damaged(std::string text, std::mt19937& random)
{
    std::vector<std::size_t> leads;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (static_cast<std::uint8_t>(text[i]) >= 0xC2) {
            leads.push_back(i);
        }
    }
    const std::size_t at = leads[random() % leads.size()];
    const std::size_t length = textcodec::Utf8CharLength(static_cast<unsigned char>(text[at]));
    switch (random() % 5) {
    case 0:
        return text.insert(random() % (text.size() + 1), 1, static_cast<char>(0x80 + random() % 0x80));
    case 1:
        return text.erase(at + length - 1, 1); // cut
    case 2:
        return text.erase(at, 1); // lost lead byte
    case 3:
        return text.insert(at, random() % 2 ? "\xC0\xAF" : "\xE0\x80\xAF"); // overlong
    default:
        return text.insert(at, {'\xED', static_cast<char>(0xA0 + random() % 0x20),
                                static_cast<char>(0x80 + random() % 0x40)}); // surrogate
    }
}

std::string Latin1(std::string_view utf8)
{
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<std::uint8_t>(utf8[i]);
        if (c == 0xC2 || c == 0xC3) {
            bytes += static_cast<char>(((c & 0x03) << 6) | (static_cast<std::uint8_t>(utf8[++i]) & 0x3F));
        } else {
            bytes += utf8[i];
        }
    }
    return bytes;
}

// Windows-1252: ISO 8859-1 with curly quotes, dashes, "€" and a few letters
// in 80-9F.
std::string Windows1252(std::string_view utf8)
{
    static constexpr std::array<std::pair<std::string_view, char>, 16> Extra{
        {{"€", '\x80'}, {"„", '\x84'}, {"…", '\x85'}, {"Š", '\x8A'}, {"Œ", '\x8C'}, {"‘", '\x91'}, {"’", '\x92'},
         {"“", '\x93'}, {"”", '\x94'}, {"–", '\x96'}, {"—", '\x97'}, {"™", '\x99'}, {"š", '\x9A'}, {"œ", '\x9C'},
         {"ž", '\x9E'}, {"Ÿ", '\x9F'}}};
    std::string text(utf8);
    for (const auto& [character, byte] : Extra) {
        for (std::size_t at = text.find(character); at != std::string::npos; at = text.find(character, at + 1)) {
            text.replace(at, character.size(), 1, byte);
        }
    }
    return Latin1(text);
}

} // namespace

std::vector<StoredTextCase> GenerateMisjudgedTextCases(int count, const LineMaker& line, std::uint32_t seed)
{
    count = CaseCount(count);
    static constexpr std::array<const char*, 12> Latin1Texts{
        "Café Crème", "Señor Müller", "Größe", "naïve façade", "Ærøskøbing",     "déjà vu",
        "Zürich",     "© 2026 ®",     "½ ¼ ¾", "Ça va",        "/srv/mixer±30°", "Crème brûlée"};
    static constexpr std::array<const char*, 8> Abbreviations{"BGM", "DJ", "CD", "MC", "SE", "CM", "FM", "ID"};
    static constexpr std::array<const char*, 16> HalfWidthWords{
        "ﾘｽﾄ",   "ﾄｰｸ",  "ﾌﾟﾚｰﾔｰ", "ｼﾞﾝｸﾞﾙ", "ﾆｭｰｽ",  "ｺｰﾅｰ", "ﾃｰﾏ",  "ｴﾝﾃﾞｨﾝｸﾞ",
        "ｽﾎﾟｯﾄ", "ｹﾞｽﾄ", "ﾒｰﾙ",    "ﾘｸｴｽﾄ",  "ﾌﾞﾚｲｸ", "ｿﾝｸﾞ", "ﾀｲﾄﾙ", "ﾐｭｰｼﾞｯｸ"};
    // Full-width katakana and kanji after an abbreviation: many trail bytes
    // are Latin letters ("ア" is 83 41).
    static constexpr std::array<const char*, 12> FullWidthWords{
        "アルバム", "トーク", "コーナー", "ゲスト", "テーマ", "ジングル", "東京", "総合", "音源", "特集", "ミックス", "ロゴ"};
    static constexpr std::array<const char*, 6> Accented{"Café", "Crème", "Müller", "Ärger", "été", "Señor"};
    // Letters of one script inside each word, as people write them.
    static constexpr std::array<const char*, 24> LatinExtended{
        "Sơn Tùng",   "Hà Nội",   "Nguyễn Văn Ơn", "Đà Nẵng",  "Phở bò",    "Trường Sơn", "Nǐ hǎo",   "Běijīng",
        "lǜchá",      "Azərbaycan", "Əli Bakı",    "Łódź",     "Gdańsk",    "Dvořák",     "Šťastný",  "Ștefan Țara",
        "Đorđević",   "Ħal Qormi", "Tōkyō Ōsaka",  "ɗan Hausa", "Hawaiʻi",   "Ǧazi",       "Привет",   "Αθήνα"};
    static constexpr std::array<const char*, 16> Portuguese{
        "São Paulo", "João Gilberto", "Não",          "Açores",     "Conceição",      "Coração", "Brasília", "Informação",
        "Português", "Pão de Açúcar", "Maranhão",     "Ribeirão Preto", "Belém",      "Amanhã",  "Avó",      "Ação"};
    static constexpr std::array<const char*, 14> CurlyAndEuro{
        "“Ao vivo”", "‘Live’ mix",     "€ 100",        "€5",        "Rock – Pop",   "Hits…",   "„Guten Morgen“",
        "Œuvre",     "Škoda",          "Radio™",       "½ € off",   "Café — Bar",   "don’t stop", "“Hello”"};
    // Texts with one accented letter, and names whose one Latin-1 byte ("ü",
    // "Ü") stands in any place of a word.
    static constexpr std::array<const char*, 8> OneAccent{"Café", "Señor", "Zürich", "Crème", "été", "Ärger",
                                                          "naïve", "Ça va"};
    static constexpr std::array<const char*, 8> StrayU{"M\xFCller", "\xFC", "D\xFCsseldorf", "Gr\xFCn 2",
                                                       "\xDC" "berweg", "f\xFCr", "T\xFC", "MEN\xDC"};
    static const std::vector<std::string> kanji = Cp932Characters(0x88, 0x98, 0x9F, 0xFC);
    static const std::vector<std::string> halfWidth = Cp932Characters(0, 0, 0xA6, 0xDF);
    static const std::vector<std::string> hiragana = Cp932Characters(0x82, 0x82, 0x9F, 0xF1);
    static const std::vector<std::string> nec = Cp932Characters(0x87, 0x87, 0x40, 0x9C);
    static const std::vector<std::string> ibm = Cp932Characters(0xFA, 0xFC, 0x40, 0xFC);
    std::mt19937 random(seed);
    const auto pick = [&](const auto& pool) { return std::string(pool[random() % pool.size()]); };
    const auto run = [&](const std::vector<std::string>& pool, std::size_t low, std::size_t high) {
        std::string text;
        for (std::size_t n = low + random() % (high - low + 1); n > 0; --n) {
            text += pick(pool);
        }
        return text;
    };
    std::vector<StoredTextCase> cases;
    for (int i = 0; i < count; ++i) {
        StoredTextCase c;
        const int shape = i % 11;
        c.shape = std::array{"ISO 8859-1",
                             "UTF-8 with an accent and a Latin-1 byte",
                             "code page 932 with a NEC or IBM character",
                             "code page 932 with abbreviations",
                             "realistic Japanese, kanji",
                             "realistic Japanese, half-width katakana or kanji and hiragana",
                             "realistic European",
                             "UTF-8 of Latin Extended-A and -B, Vietnamese, Greek, Cyrillic",
                             "ISO 8859-1 Portuguese",
                             "Windows-1252 with curly quotes and €",
                             "UTF-8 with one accent and one stray byte"}[shape];
        const bool utf8 = shape == 1 || shape == 6 || shape == 7 || shape == 10;
        c.encoding = utf8 || shape == 0 || shape == 8 || shape == 9 ? textcodec::Encoding::Utf8
                                                                     : textcodec::Encoding::Cp932;
        c.readable = shape != 0 && shape != 8 && shape != 9;
        const std::size_t values = shape == 1 ? 1 : 1 + random() % 3;
        for (std::size_t n = 0; n < values; ++n) {
            const bool plain = n > 0 && random() % 2 == 0;
            c.texts.push_back(plain        ? "/srv/plain" + std::to_string(n) + ".wav"
                              : shape == 0 ? pick(Latin1Texts)
                              : shape == 1 ? pick(Accented)
                              : shape == 2 ? pick(random() % 2 ? nec : ibm) + "ABC Radio"
                              : shape == 3 ? pick(Abbreviations) + (random() % 2 ? pick(HalfWidthWords) : pick(FullWidthWords))
                              : shape == 4 ? run(kanji, 1, 4)
                              : shape == 5
                                  ? (random() % 2 ? run(halfWidth, 3, 6) : run(kanji, 1, 2) + run(hiragana, 1, 3))
                              : shape == 6  ? pick(European)
                              : shape == 7  ? pick(LatinExtended)
                              : shape == 8  ? pick(Portuguese)
                              : shape == 9  ? pick(CurlyAndEuro)
                              : n == 0      ? pick(OneAccent)
                                            : "/srv/plain" + std::to_string(n) + ".wav");
        }
        if (shape == 1 || shape == 10) {
            // A name of an older share, its accent one Latin-1 byte.
            c.damagedLine = static_cast<int>(c.texts.size());
            c.texts.push_back(shape == 1        ? "/srv/" + Latin1(pick(Accented)) + ".wav"
                              : random() % 2 == 0 ? "/srv/" + pick(StrayU) + ".wav"
                                                  : pick(StrayU));
        }
        for (std::size_t k = 0; k < c.texts.size(); ++k) {
            const std::string text = line(static_cast<int>(k), c.texts[k]) + "\r\n";
            c.bytes += shape == 0 || shape == 8                   ? Latin1(text)
                       : shape == 9                               ? Windows1252(text)
                       : c.encoding == textcodec::Encoding::Cp932 ? textcodec::EncodeCp932(text)
                                                                  : text;
        }
        cases.push_back(std::move(c));
    }
    return cases;
}

std::vector<StoredTextCase> GenerateStoredTextCases(int count, const LineMaker& line, std::uint32_t seed)
{
    count = CaseCount(count);
    std::mt19937 random(seed);
    const auto pick = [&](const auto& pool) { return std::string(pool[random() % pool.size()]); };
    const auto japanese = [&] {
        std::string text;
        for (std::size_t n = 2 + random() % 10; n > 0; --n) {
            text += pick(JapaneseCharacters());
        }
        return text;
    };
    std::vector<StoredTextCase> cases;
    for (int i = 0; i < count; ++i) {
        StoredTextCase c;
        const int shape = i % 5;
        const bool damaged = shape < 3;
        c.shape = std::array{"European UTF-8", "UTF-8 of other scripts", "Japanese UTF-8", "code page 932",
                             "clean UTF-8"}[shape];
        c.encoding = shape == 3 ? textcodec::Encoding::Cp932 : textcodec::Encoding::Utf8;
        for (std::size_t n = 2 + random() % 3; n > 0; --n) {
            c.texts.push_back(shape == 0   ? pick(European)
                              : shape == 1 ? pick(OtherScripts)
                              : shape == 4 ? (random() % 2 ? pick(OtherScripts) : pick(European))
                                           : japanese());
        }
        const bool mark = (shape == 0 || shape == 4) && random() % 3 == 0;
        c.shape += mark ? " with a byte order mark" : damaged ? " with a damaged character" : "";
        c.bytes = mark ? "\xEF\xBB\xBF" : "";
        for (std::size_t k = 0; k < c.texts.size(); ++k) {
            const std::string text = line(static_cast<int>(k), c.texts[k]) + "\r\n";
            c.bytes += c.encoding == textcodec::Encoding::Cp932 ? textcodec::EncodeCp932(text) : text;
        }
        if (damaged) {
            c.damagedLine = static_cast<int>(c.texts.size());
            c.bytes += line(c.damagedLine, Damaged(c.texts[0], random)) + "\r\n";
        }
        cases.push_back(std::move(c));
    }
    return cases;
}

} // namespace testsupport

namespace testsupport {

namespace {

// Converts with the C library's iconv, which the program does not use for UTF-16.
std::optional<std::string> Iconv(const std::string& bytes, const char* to, const char* from)
{
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string out(bytes.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

std::vector<StoredTextCase> GenerateUtf16TextCases(int count, const LineMaker& line, std::uint32_t seed)
{
    count = CaseCount(count);
    std::mt19937 random(seed);
    const auto pick = [&](const auto& pool) { return std::string(pool[random() % pool.size()]); };
    std::vector<StoredTextCase> cases;
    for (int i = 0; i < count; ++i) {
        StoredTextCase c;
        const bool little = i % 2 == 0;
        c.shape = little ? "UTF-16 LE with a byte order mark" : "UTF-16 BE with a byte order mark";
        for (std::size_t n = 2 + random() % 3; n > 0; --n) {
            std::string text;
            switch (random() % 4) {
            case 0:
                text = pick(European);
                break;
            case 1:
                text = pick(OtherScripts);
                break;
            case 2:
                for (std::size_t k = 2 + random() % 8; k > 0; --k) {
                    text += pick(JapaneseCharacters());
                }
                break;
            default:
                text = "/srv/𝄞" + pick(European) + "🎵.wav";
            }
            c.texts.push_back(text);
        }
        std::string utf8;
        for (std::size_t k = 0; k < c.texts.size(); ++k) {
            utf8 += line(static_cast<int>(k), c.texts[k]) + "\r\n";
        }
        c.bytes = Utf16File(utf8, little ? "LE" : "BE");
        cases.push_back(std::move(c));
    }
    return cases;
}

std::string Utf16File(const std::string& text, std::string_view order)
{
    return (order == "LE" ? "\xFF\xFE" : "\xFE\xFF") + *Iconv(text, order == "LE" ? "UTF-16LE" : "UTF-16BE", "UTF-8");
}

std::optional<std::string> ReadUtf16File(const std::string& bytes, std::string_view order)
{
    const std::string_view mark = order == "LE" ? "\xFF\xFE" : "\xFE\xFF";
    if (!bytes.starts_with(mark)) {
        return std::nullopt;
    }
    return Iconv(bytes.substr(2), "UTF-8", order == "LE" ? "UTF-16LE" : "UTF-16BE");
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace testsupport
