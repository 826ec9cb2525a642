#include "platform/base/TextCodec.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>
#include <mutex>
#include <vector>

namespace textcodec {

namespace {

// The length of the valid UTF-8 character of more than one byte at i, or 0
// when the bytes there are no such character.
std::size_t MultiByteCharAt(std::span<const std::uint8_t> bytes, std::size_t i)
{
    const std::uint8_t c = bytes[i];
    std::size_t len = 0;
    std::uint32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
        cp = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        cp = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        cp = c & 0x07u;
    } else {
        return 0;
    }
    if (i + len > bytes.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const std::uint8_t t = bytes[i + k];
        if ((t & 0xC0u) != 0x80u) {
            return 0;
        }
        cp = (cp << 6) | (t & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return len;
}

} // namespace

bool IsValidUtf8(std::span<const std::uint8_t> bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (bytes[i] < 0x80) {
            ++i;
            continue;
        }
        const std::size_t len = MultiByteCharAt(bytes, i);
        if (len == 0) {
            return false;
        }
        i += len;
    }
    return true;
}

bool IsValidUtf8(std::string_view text)
{
    return IsValidUtf8(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool HasByteOrderMark(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
}

Encoding Detect(std::span<const std::uint8_t> bytes)
{
    return HasByteOrderMark(bytes) || IsValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Cp932;
}

Encoding DetectDespiteStrayBytes(std::span<const std::uint8_t> bytes)
{
    return Judge(bytes).encoding;
}

namespace {

// Scripts, coarsely: characters of one word share one. Punctuation and
// symbols stand beside any script.
enum class Script : std::uint32_t { Punctuation = 0x110000, Latin, Greek, Cyrillic, Japanese, Hangul, Emoji };

// Where the blocks of the other scripts of the Basic Multilingual Plane start
// (a script of several blocks starts once).
constexpr std::array<std::uint32_t, 66> BlockStarts{
    0x0530, 0x0590, 0x0600, 0x0700, 0x0750, 0x0780, 0x07C0, 0x0800, 0x0840, 0x0860, 0x0870, 0x0900, 0x0980, 0x0A00,
    0x0A80, 0x0B00, 0x0B80, 0x0C00, 0x0C80, 0x0D00, 0x0D80, 0x0E00, 0x0E80, 0x0F00, 0x1000, 0x10A0, 0x1100, 0x1200,
    0x13A0, 0x1400, 0x1680, 0x16A0, 0x1700, 0x1780, 0x1800, 0x18B0, 0x1900, 0x1950, 0x1980, 0x1A00, 0x1A20, 0x1B00,
    0x1B80, 0x1BC0, 0x1C00, 0x1C50, 0x1C80, 0x1D00, 0xA000, 0xA4D0, 0xA500, 0xA640, 0xA6A0, 0xA700, 0xA800, 0xA880,
    0xA8E0, 0xA900, 0xA980, 0xAA00, 0xAB00, 0xAB30, 0xFB00, 0xFB50, 0xFE10, 0xFFF0};

std::uint32_t ScriptOf(std::uint32_t cp)
{
    const auto in = [cp](std::uint32_t low, std::uint32_t high) { return cp >= low && cp <= high; };
    if (in(0x80, 0x9F)) {
        return 0x80; // C1 controls: no text holds them, so they mix with every script
    }
    // Punctuation, symbols, selectors and private characters (the user-defined
    // characters of code page 932) stand beside any script.
    if (in(0xA0, 0xBF) || in(0xD7, 0xD7) || in(0xF7, 0xF7) || in(0x2000, 0x2BFF) || in(0x3000, 0x303F) ||
        in(0xE000, 0xF8FF) || in(0xFE00, 0xFE0F) || in(0xFF00, 0xFF65)) {
        return static_cast<std::uint32_t>(Script::Punctuation);
    }
    if (in(0xC0, 0x36F) || in(0x1AB0, 0x1AFF) || in(0x1DC0, 0x1EFF) || in(0xA720, 0xA7FF)) {
        return static_cast<std::uint32_t>(Script::Latin);
    }
    if (in(0x370, 0x3FF) || in(0x1F00, 0x1FFF)) {
        return static_cast<std::uint32_t>(Script::Greek);
    }
    if (in(0x400, 0x52F) || in(0x1C80, 0x1C8F)) {
        return static_cast<std::uint32_t>(Script::Cyrillic);
    }
    if (in(0x2E80, 0x2FFF) || in(0x3040, 0x312F) || in(0x3190, 0x9FFF) || in(0xF900, 0xFAFF) || in(0xFE30, 0xFE4F) ||
        in(0xFF66, 0xFF9F)) {
        return static_cast<std::uint32_t>(Script::Japanese);
    }
    if (in(0x1100, 0x11FF) || in(0x3130, 0x318F) || in(0xA960, 0xA97F) || in(0xAC00, 0xD7FF) || in(0xFFA0, 0xFFDC)) {
        return static_cast<std::uint32_t>(Script::Hangul);
    }
    if (cp >= 0x1F000) {
        return static_cast<std::uint32_t>(Script::Emoji);
    }
    if (cp >= 0x10000) {
        return cp >> 8;
    }
    const auto* block = std::upper_bound(BlockStarts.begin(), BlockStarts.end(), cp);
    return block == BlockStarts.begin() ? cp : *(block - 1);
}

// Characters that one sees alone in text: common letters and signs of
// Europe, the Middle East and East Asia. A lone character elsewhere (Syriac,
// Myanmar, a compatibility form) is what code page 932 kanji and half-width
// katakana form by chance far more often than anyone writes it.
bool SeenAlone(std::uint32_t cp)
{
    const auto in = [cp](std::uint32_t low, std::uint32_t high) { return cp >= low && cp <= high; };
    return in(0xA0, 0x17F) || in(0x218, 0x21B) || in(0x370, 0x52F) || in(0x590, 0x6FF) || in(0x1E00, 0x1EFF) ||
           in(0x2000, 0x2BFF) || in(0x3000, 0x30FF) || in(0x4E00, 0x9FFF) || in(0xAC00, 0xD7A3) || in(0xFF00, 0xFFEF) ||
           cp >= 0x1F000;
}

// Letters that half-width katakana pairs form by chance: Latin Extended-B,
// phonetics and modifier letters, and a few scripts (Syriac, Thaana, NKo). A
// word of them alone is chance, unless a lowercase Latin letter touches it:
// the Latin ones are then a word as people write it ("Sơn", "Azərbaycan",
// "hǎo"), and the katakana that the bytes would be instead are glued into a
// lowercase word, which Japanese text does not do.
bool Phonetic(std::uint32_t cp, bool besideLowercase)
{
    return (cp >= 0x180 && cp <= 0x2FF && !(cp >= 0x218 && cp <= 0x21B) && !besideLowercase) ||
           (cp >= 0x700 && cp <= 0x7FF);
}

// Letters that text glues to a Latin letter inside one word: Latin ones in
// use (accents, combining marks, Vietnamese), and Japanese, Chinese and Korean
// beside an abbreviation. Other scripts, and the Latin letters of phonetics
// and of African languages glued only to capitals, are the chance characters
// that half-width katakana after a capital abbreviation form ("MCﾇｵ" as "MCǵ").
bool GluedToLatin(std::uint32_t cp, std::uint32_t script, bool besideLowercase)
{
    if (script == static_cast<std::uint32_t>(Script::Latin)) {
        return !Phonetic(cp, besideLowercase);
    }
    return script == static_cast<std::uint32_t>(Script::Japanese) ||
           script == static_cast<std::uint32_t>(Script::Hangul) || script == static_cast<std::uint32_t>(Script::Emoji);
}

// The scripts of code page 932's letters.
bool InCp932Scripts(std::uint32_t script)
{
    return script == static_cast<std::uint32_t>(Script::Japanese) ||
           script == static_cast<std::uint32_t>(Script::Latin) || script == static_cast<std::uint32_t>(Script::Greek) ||
           script == static_cast<std::uint32_t>(Script::Cyrillic);
}

bool IsCombiningMark(std::uint32_t cp)
{
    const auto in = [cp](std::uint32_t low, std::uint32_t high) { return cp >= low && cp <= high; };
    return in(0x300, 0x36F) || in(0x483, 0x489) || in(0x591, 0x5C7) || in(0x610, 0x61A) || in(0x64B, 0x65F) ||
           cp == 0x670;
}

bool IsAsciiLetter(std::uint8_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Decodes the valid UTF-8 character of more than one byte at i, or gives 0.
std::size_t CodePointAt(std::span<const std::uint8_t> bytes, std::size_t i, std::uint32_t& cp)
{
    const std::size_t len = MultiByteCharAt(bytes, i);
    if (len == 0) {
        return 0;
    }
    static constexpr std::uint8_t leadMask[] = {0, 0, 0x1F, 0x0F, 0x07};
    cp = bytes[i] & leadMask[len];
    for (std::size_t k = 1; k < len; ++k) {
        cp = (cp << 6) | (bytes[i + k] & 0x3Fu);
    }
    return len;
}

// The length of the code page 932 character at i, or 0 for a byte it cannot
// read: 80, A0 and FD-FF, a lead byte of an unassigned row, a trail byte
// outside the few assigned cells of the short rows, or a lead byte without
// its trail byte.
std::size_t Cp932CharAt(std::span<const std::uint8_t> bytes, std::size_t i)
{
    const std::uint8_t c = bytes[i];
    if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) {
        return 1;
    }
    const bool lead = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && c != 0x85 && c != 0x86 && c != 0xEB &&
                      c != 0xEC && c != 0xEF;
    if (!lead || i + 1 >= bytes.size()) {
        return 0;
    }
    const std::uint8_t t = bytes[i + 1];
    const std::uint8_t last = c == 0x84 ? 0xBE : c == 0x87 ? 0x9C : c == 0xEA ? 0xA4 : c == 0xFC ? 0x4B : 0xFC;
    return ((t >= 0x40 && t <= 0x7E) || t >= 0x80) && t <= last ? 2 : 0;
}

std::size_t Cp932Errors(std::span<const std::uint8_t> bytes)
{
    std::size_t errors = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t len = Cp932CharAt(bytes, i);
        errors += len == 0 ? 1 : 0;
        i += len == 0 ? 1 : len;
    }
    return errors;
}

bool IsLowerAsciiLetter(std::uint8_t c)
{
    return c >= 'a' && c <= 'z';
}

// What a code page 932 reading of the bytes says for itself. Kanji,
// half-width katakana and user-defined characters glued to a lowercase
// Latin letter are what the accented letters of UTF-8 and of ISO 8859-1
// form by chance ("Cafﾃｩ", "Cr鑪e", "ﾄrger"); Japanese text glues katakana
// to capital abbreviations ("BGMﾘｽﾄ", "CDアルバム"), and kana to any word. A
// character whose lead byte is an accented lowercase letter of ISO 8859-1
// (E0-FC), follows a Latin letter and whose trail byte is one is that letter
// inside a Latin word too ("São" as "S縊"), whatever the case of the letters. A lone half-width katakana, also beside symbols, or a
// user-defined character is chance too. NEC special characters and symbols
// stand beside anything.
struct Cp932Evidence {
    std::size_t weight = 0;      // of the words that read as text: 2 for a full-width letter, 1 for a half-width one
    std::size_t chanceWords = 0; // words that read as chance
    std::size_t symbols = 0;     // full-width symbols in the words that read as text
};

Cp932Evidence WeighCp932(std::span<const std::uint8_t> bytes)
{
    enum class Kind { Symbol, Kana, Kanji, HalfWidth, UserDefined, Foreign };
    const auto kindAt = [&](std::size_t i, std::size_t len) {
        const std::uint8_t c = bytes[i];
        if (len == 1) {
            return c >= 0xA6 ? Kind::HalfWidth : Kind::Symbol;
        }
        const std::uint8_t t = bytes[i + 1];
        if ((c == 0x83 && t >= 0x9F) || (c == 0x84 && t <= 0x91)) {
            return Kind::Foreign; // Greek and Cyrillic letters
        }
        if (c == 0x81 || c == 0x84 || c == 0x87) {
            return Kind::Symbol;
        }
        if (c == 0x82 || c == 0x83) {
            return Kind::Kana;
        }
        return c >= 0xF0 && c <= 0xF9 ? Kind::UserDefined : Kind::Kanji;
    };
    const auto gluedKind = [](Kind kind) {
        return kind == Kind::Kanji || kind == Kind::HalfWidth || kind == Kind::UserDefined || kind == Kind::Foreign;
    };
    Cp932Evidence evidence;
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (bytes[i] < 0x80 || Cp932CharAt(bytes, i) == 0) {
            ++i;
            continue;
        }
        // One word: the characters up to ASCII or an unreadable byte.
        const std::size_t start = i;
        std::size_t weight = 0;
        std::size_t count = 0;
        std::size_t halfWidth = 0;
        std::size_t letters = 0; // characters but full-width symbols
        std::size_t symbols = 0;
        bool chance = false;
        Kind first = Kind::Symbol;
        Kind last = Kind::Symbol;
        while (i < bytes.size() && bytes[i] >= 0x80) {
            const std::size_t len = Cp932CharAt(bytes, i);
            if (len == 0) {
                break;
            }
            last = kindAt(i, len);
            first = count++ == 0 ? last : first;
            chance = chance || last == Kind::UserDefined ||
                     (len == 2 && bytes[i] >= 0xE0 && i == start && start > 0 && IsAsciiLetter(bytes[i - 1]) &&
                      IsAsciiLetter(bytes[i + 1]));
            symbols += last == Kind::Symbol && len == 2 ? 1 : 0;
            letters += last == Kind::Symbol && len == 2 ? 0 : 1;
            halfWidth += last == Kind::HalfWidth ? 1 : 0;
            weight += last == Kind::Symbol ? 0 : len;
            i += len;
        }
        const bool gluedBefore = start > 0 && IsLowerAsciiLetter(bytes[start - 1]) && gluedKind(first);
        const bool gluedAfter = i < bytes.size() && IsLowerAsciiLetter(bytes[i]) && gluedKind(last);
        if (chance || gluedBefore || gluedAfter || (letters == 1 && halfWidth == 1)) {
            ++evidence.chanceWords;
        } else {
            evidence.weight += weight;
            evidence.symbols += symbols;
        }
    }
    return evidence;
}

// What the bytes say for UTF-8. A word is a run of valid characters of more
// than one byte, ended by ASCII or damage.
struct Utf8Evidence {
    bool anyHigh = false;        // some byte is not ASCII
    std::size_t damages = 0;     // damaged characters: bytes that are no UTF-8
    std::size_t weight = 0;      // of the words that read as text: 2 for a character of three
                                 // or four bytes or a letter beside an ASCII letter, else 1
    std::size_t chanceWords = 0; // words that read as chance: scripts mixed inside one, or
                                 // a lone character of a kind nobody writes alone
    bool longCharacter = false;  // a word that reads as text holds a character of three or four bytes
    bool letters = false;        // or a letter
};

class Utf8Weigher {
public:
    Utf8Evidence Weigh(std::span<const std::uint8_t> bytes)
    {
        std::size_t damagedBytes = 0; // of the stretch being read
        std::size_t i = 0;
        while (i < bytes.size()) {
            if (bytes[i] < 0x80) {
                EndWord();
                damagedBytes = 0;
                ++i;
                continue;
            }
            evidence_.anyHigh = true;
            std::uint32_t cp = 0;
            const std::size_t len = CodePointAt(bytes, i, cp);
            if (len == 0) {
                EndWord();
                // A damaged character leaves up to four bytes side by side
                // (an overlong form of four); a longer stretch is more than one.
                if (damagedBytes % 4 == 0) {
                    ++evidence_.damages;
                }
                ++damagedBytes;
                ++i;
                continue;
            }
            damagedBytes = 0;
            const std::uint32_t script = ScriptOf(cp);
            const bool letter = script != static_cast<std::uint32_t>(Script::Punctuation);
            const bool besideLetter =
                (i > 0 && IsAsciiLetter(bytes[i - 1])) || (i + len < bytes.size() && IsAsciiLetter(bytes[i + len]));
            const bool besideLowercase = (i > 0 && IsLowerAsciiLetter(bytes[i - 1])) ||
                                         (i + len < bytes.size() && IsLowerAsciiLetter(bytes[i + len]));
            const bool latin = script == static_cast<std::uint32_t>(Script::Latin);
            // A private character (what a user-defined one of code page 932
            // becomes) is no text anyone exchanges: it weighs nothing.
            wordWeight_ += cp >= 0xE000 && cp <= 0xF8FF ? 0 : len > 2 || (letter && besideLetter) ? 2 : 1;
            longCharacter_ = longCharacter_ || len > 2;
            if (wordLength_++ == 0) {
                // A Latin letter inside a lowercase word is not alone.
                firstSeenAlone_ = SeenAlone(cp) || (latin && besideLowercase);
                // A combining mark goes on a letter; no word starts with one.
                mixed_ = IsCombiningMark(cp) && !(i > 0 && IsAsciiLetter(bytes[i - 1]));
            }
            if (letter) {
                hasLetters_ = true;
                japanese_ = japanese_ || script == static_cast<std::uint32_t>(Script::Japanese);
                outsideCp932_ = outsideCp932_ || !InCp932Scripts(script);
                writtenLetters_ = writtenLetters_ || !Phonetic(cp, besideLowercase);
                phoneticLetter_ = phoneticLetter_ || Phonetic(cp, besideLowercase) || IsCombiningMark(cp);
                besideAscii_ = besideAscii_ || besideLetter;
                mixed_ = mixed_ || (wordScript_ != 0 && wordScript_ != script) ||
                         (besideLetter && !GluedToLatin(cp, script, besideLowercase));
                wordScript_ = script;
            }
            i += len;
        }
        EndWord();
        return evidence_;
    }

private:
    void EndWord()
    {
        if (wordLength_ > 0) {
            // Code page 932 forms a few UTF-8 characters in a row by chance,
            // hardly four of the scripts it holds: a longer word of Japanese
            // and Greek or Cyrillic letters mixes them as Japanese text does.
            const bool chanceMix = mixed_ && (wordLength_ < 4 || !japanese_ || outsideCp932_);
            // Latin words are written with ASCII letters among the accented
            // ones; a word of accented letters alone that holds a phonetic one
            // or a combining mark ("ķɻ", "ĺ̮") is what half-width katakana form.
            const bool phoneticAlone = wordLength_ > 1 && phoneticLetter_ && !besideAscii_;
            if (chanceMix || (wordLength_ == 1 && !firstSeenAlone_) || (hasLetters_ && !writtenLetters_) ||
                phoneticAlone) {
                ++evidence_.chanceWords;
            } else {
                evidence_.weight += wordWeight_;
                evidence_.longCharacter = evidence_.longCharacter || longCharacter_;
                evidence_.letters = evidence_.letters || hasLetters_;
            }
        }
        wordLength_ = 0;
        wordWeight_ = 0;
        wordScript_ = 0;
        mixed_ = false;
        hasLetters_ = false;
        writtenLetters_ = false;
        phoneticLetter_ = false;
        besideAscii_ = false;
        longCharacter_ = false;
        japanese_ = false;
        outsideCp932_ = false;
    }

    Utf8Evidence evidence_;
    std::size_t wordLength_ = 0;
    std::size_t wordWeight_ = 0;
    std::uint32_t wordScript_ = 0;
    bool firstSeenAlone_ = false; // the word's first character stands alone in text
    bool mixed_ = false;
    bool hasLetters_ = false;     // the word holds a letter
    bool writtenLetters_ = false; // and one that is not only phonetic (see Phonetic)
    bool phoneticLetter_ = false; // and one that is
    bool besideAscii_ = false;    // a letter of the word touches an ASCII letter
    bool longCharacter_ = false;  // a character of three or four bytes
    bool japanese_ = false;       // a Japanese letter
    bool outsideCp932_ = false;   // a letter of a script code page 932 does not hold
};

// The encoding and whether it is certain, from what each reading says for
// itself, where some byte is not ASCII.
Judgement Weighed(const Utf8Evidence& utf8, std::size_t cp932Errors, const Cp932Evidence& cp932)
{
    // Code page 932 that reads only as chance is no evidence for itself: it
    // is UTF-8 or another code page misread.
    const bool cp932Chance = cp932.chanceWords > 0 && cp932.weight == 0;
    // Code page 932 is certain only on text of its own, and without a chance
    // word, which may be another code page misread.
    const bool cp932Text = cp932.weight + cp932.symbols > 0 && cp932.chanceWords == 0;
    const std::size_t weight = utf8.weight;
    // Chance words speak against UTF-8 as damage does.
    const std::size_t against = utf8.damages + utf8.chanceWords;
    if (utf8.damages == 0) {
        if (cp932Errors > 0) {
            return {Encoding::Utf8, true};
        }
        // Both readings hold: code page 932 text is UTF-8 only by chance.
        if (utf8.chanceWords > 0 && weight <= 2 * utf8.chanceWords && !cp932Chance) {
            return {Encoding::Cp932, false};
        }
        // Two letters of two bytes that read as a whole word of code page 932
        // too ("жл" is "ﾐｶﾐｻ") are no more likely one than the other.
        const bool thin = weight <= 2 && utf8.letters && !utf8.longCharacter && cp932Text && cp932.weight >= weight;
        return {Encoding::Utf8, weight >= 2 && weight > 2 * utf8.chanceWords + 1 && !thin};
    }
    if (cp932Errors > 0) {
        // Damaged either way: UTF-8 when its text clearly outweighs its
        // damage, or outweighs it and has no more damage than code page 932
        // has damage and chance.
        if (weight >= 2 * against || (weight >= against && utf8.damages <= cp932Errors + cp932.chanceWords)) {
            return {Encoding::Utf8, weight >= 2 * against};
        }
        return {Encoding::Cp932, weight < against && cp932Text};
    }
    // Whole as code page 932, damaged as UTF-8: UTF-8 only when its text
    // clearly outweighs the damage, as one damaged character in a UTF-8 text
    // does, or at least matches it where code page 932 reads only as chance
    // (an accented word and a stray Latin-1 byte); a file close to the line
    // is in doubt.
    if (weight >= 2 * against + 1) {
        return {Encoding::Utf8, weight >= 2 * against + 3 || (cp932Chance && weight >= 2 * against)};
    }
    if (cp932Chance && weight > 0 && weight >= against) {
        return {Encoding::Utf8, weight >= 2 * against};
    }
    // More than one damaged character is no UTF-8 file damaged here and
    // there, and Japanese text that outweighs what UTF-8 reads and its damage
    // together ("ﾄｰｸ", "İ" and a stray byte) is Japanese. A chance word of code
    // page 932 stays doubtful whatever text is added beside it: the file may
    // be in another encoding misread.
    const bool outweighed = weight < against || utf8.damages > 1 || cp932.weight >= weight + against;
    return {Encoding::Cp932, outweighed && cp932Text};
}

} // namespace

Judgement Judge(std::span<const std::uint8_t> bytes)
{
    if (HasByteOrderMark(bytes)) {
        return {Encoding::Utf8, true};
    }
    const Utf8Evidence utf8 = Utf8Weigher().Weigh(bytes);
    if (!utf8.anyHigh) {
        return {Encoding::Utf8, true};
    }
    const Cp932Evidence cp932 = WeighCp932(bytes);
    Judgement judgement = Weighed(utf8, Cp932Errors(bytes), cp932);
    // UTF-8 in doubt beside code page 932 that reads as Japanese text is no
    // reading of its own either: Japanese text read as UTF-8 by chance would
    // take new lines in UTF-8.
    const bool cp932Text = cp932.weight + cp932.symbols > 0 && cp932.chanceWords == 0;
    judgement.supported = judgement.certain || (judgement.encoding == Encoding::Utf8
                                                    ? utf8.weight > 0 && !cp932Text
                                                    : cp932.weight + cp932.symbols > 0);
    return judgement;
}

namespace {

// iconv descriptors are not thread-safe; conversions are rare and short, so
// one lock per direction keeps them usable from any thread.
struct Converter {
    Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    iconv_t cd;
    std::mutex lock;
};

Converter& FromCp932()
{
    static Converter converter("UTF-8", "CP932");
    return converter;
}

Converter& ToCp932()
{
    static Converter converter("CP932", "UTF-8");
    return converter;
}

// Runs a conversion; an input sequence the converter refuses is skipped by
// skip(in) bytes and replaced by `replacement`.
std::string Convert(Converter& converter, const char* data, std::size_t size, std::string_view replacement,
                    std::size_t (*skip)(const char*, std::size_t))
{
    std::string out;
    if (converter.cd == reinterpret_cast<iconv_t>(-1)) {
        return std::string(data, size);
    }
    std::lock_guard guard(converter.lock);
    iconv(converter.cd, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> buffer(size * 4 + 16);
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t r = iconv(converter.cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
        if (r != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL (a sequence cut at the end): replace and go on.
        const std::size_t step = skip(in, inLeft);
        out.append(replacement);
        in += step;
        inLeft -= step;
        iconv(converter.cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::size_t SkipOneByte(const char*, std::size_t)
{
    return 1;
}

std::size_t SkipOneUtf8Char(const char* data, std::size_t left)
{
    const std::size_t len = Utf8CharLength(static_cast<unsigned char>(*data));
    return len > left ? left : len;
}

} // namespace

std::string DecodeCp932(std::span<const std::uint8_t> bytes)
{
    return Convert(FromCp932(), reinterpret_cast<const char*>(bytes.data()), bytes.size(), "\xEF\xBF\xBD", SkipOneByte);
}

std::string Decode(std::span<const std::uint8_t> bytes)
{
    const Encoding encoding = Detect(bytes);
    return Decode(HasByteOrderMark(bytes) ? bytes.subspan(3) : bytes, encoding);
}

std::string Decode(std::span<const std::uint8_t> bytes, Encoding encoding)
{
    if (encoding == Encoding::Utf8) {
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    return DecodeCp932(bytes);
}

std::string EncodeCp932(std::string_view utf8)
{
    return Convert(ToCp932(), utf8.data(), utf8.size(), "?", SkipOneUtf8Char);
}

std::string WentOverToUtf8Note(std::string_view path, ReadBack why)
{
    if (why == ReadBack::TakenForUtf8) {
        return std::string(path) + ": its code page 932 bytes would read as UTF-8; saved as UTF-8";
    }
    return std::string(path) + " holds characters code page 932 cannot hold; saved as UTF-8";
}

std::string NotUtf8Note(std::string_view path, std::string_view value)
{
    return std::string(path) + " cannot hold \"" + ShowingStrayBytes(value) +
           "\", which is no UTF-8 text; the old value stays";
}

std::string ShowingStrayBytes(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    std::string shown;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t len = bytes[i] < 0x80 ? 1 : MultiByteCharAt(bytes, i);
        if (len != 0) {
            shown.append(text.substr(i, len));
        } else {
            shown += "\\x";
            shown += hex[bytes[i] >> 4];
            shown += hex[bytes[i] & 0x0F];
            len = 1;
        }
        i += len;
    }
    return shown;
}

std::string Encode(std::string_view utf8, Encoding encoding)
{
    return encoding == Encoding::Utf8 ? std::string(utf8) : EncodeCp932(utf8);
}

std::size_t Utf8CharLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    return 1;
}

namespace {

// Byte length of the character at position i, never past the end and never
// swallowing bytes that do not continue it.
std::size_t CharAt(std::string_view text, std::size_t i)
{
    const std::size_t len = Utf8CharLength(static_cast<unsigned char>(text[i]));
    std::size_t k = 1;
    while (k < len && i + k < text.size() && (static_cast<unsigned char>(text[i + k]) & 0xC0u) == 0x80u) {
        ++k;
    }
    return k;
}

} // namespace

std::size_t Utf8Length(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += CharAt(text, i)) {
        ++count;
    }
    return count;
}

std::string_view Utf8Left(std::string_view text, std::size_t n)
{
    std::size_t i = 0;
    for (std::size_t c = 0; c < n && i < text.size(); ++c) {
        i += CharAt(text, i);
    }
    return text.substr(0, i);
}

std::string_view Utf8Right(std::string_view text, std::size_t n)
{
    const std::size_t total = Utf8Length(text);
    if (n >= total) {
        return text;
    }
    std::size_t i = 0;
    for (std::size_t c = 0; c < total - n; ++c) {
        i += CharAt(text, i);
    }
    return text.substr(i);
}

std::string_view Utf8CutBytes(std::string_view text, std::size_t maxBytes)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t len = CharAt(text, i);
        if (i + len > maxBytes) {
            break;
        }
        i += len;
    }
    return text.substr(0, i);
}

} // namespace textcodec
