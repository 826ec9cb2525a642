#include "support/StoredTextFiles.h"

#include <array>
#include <cstdlib>
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

// Every character code page 932 holds in the rows of kana and kanji, and the
// half-width katakana.
const std::vector<std::string>& JapaneseCharacters()
{
    static const std::vector<std::string> characters = [] {
        std::vector<std::string> all;
        const auto add = [&](std::initializer_list<std::uint8_t> bytes) {
            const std::vector<std::uint8_t> code(bytes);
            const std::string text = textcodec::DecodeCp932(code);
            if (text.find(textcodec::ReplacementCharacter) == std::string::npos) {
                all.push_back(text);
            }
        };
        for (int lead = 0x82; lead <= 0xEA; lead = lead == 0x9F ? 0xE0 : lead + 1) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail != 0x7F) {
                    add({static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail)});
                }
            }
        }
        for (int half = 0xA1; half <= 0xDF; ++half) {
            add({static_cast<std::uint8_t>(half)});
        }
        return all;
    }();
    return characters;
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

} // namespace

std::vector<StoredTextCase> GenerateStoredTextCases(int count, const LineMaker& line, std::uint32_t seed)
{
    if (const char* asked = std::getenv("TOLV_STORED_TEXT_CASES"); asked != nullptr && std::atoi(asked) > 0) {
        count = std::atoi(asked);
    }
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
