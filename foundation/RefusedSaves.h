#pragma once

#include <string>
#include <string_view>
#include <vector>

// Values the settings store or an assign table could not keep. Each refusal
// is logged where it happens; a window that saves on the operator's behalf
// also collects them here, so that it can say on screen which value was not
// stored and why instead of carrying on as if it had been.
namespace platform {
struct FileUpdate;
}

namespace basic {

enum class RefusalReason {
    NotText,    // the value holds bytes that are no UTF-8 text
    Encoding,   // the file's character encoding cannot take the value safely
    NotWritten, // the file could not be read or written
    ByteOrder,  // the file's byte order cannot be told: it takes no value at all
};

struct RefusedSave {
    std::string what; // the value as the file would hold it ("Key=value"); "" for a whole file
    std::string file; // the INI file, the registry key or the table
    RefusalReason reason = RefusalReason::NotWritten;
    std::string detail; // the system's words for a file that could not be written
};

// Collects the refusals made on this thread while it lives; an inner
// collector takes them in place of an outer one.
class RefusedSaves {
public:
    RefusedSaves();
    ~RefusedSaves();
    RefusedSaves(const RefusedSaves&) = delete;
    RefusedSaves& operator=(const RefusedSaves&) = delete;

    bool Empty() const { return list_.empty(); }
    const std::vector<RefusedSave>& List() const { return list_; }
    // The heading, then every value with why it was not stored, in the run's
    // language, for a box; each value also goes to the error log, whatever
    // LogError says, as the box points there for those it does not show. A
    // file whose byte order cannot be told is explained once, with how to
    // mend it, before the values.
    std::string Text(std::string_view heading) const;

private:
    friend void NoteRefusedSave(RefusedSave refusal);
    std::vector<RefusedSave> list_;
    RefusedSaves* outer_;
};

// Hands a refusal to the collector of this thread, if any.
void NoteRefusedSave(RefusedSave refusal);

// The same for the store's refusal of key = value in file: the value is no
// text (update null), or the update failed.
void NoteRefusedSetting(std::string_view key, std::string_view value, std::string file,
                        const platform::FileUpdate* update);

} // namespace basic
