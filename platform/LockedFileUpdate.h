#pragma once

#include "platform/KeptOriginal.h"
#include "platform/base/TextCodec.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct FileUpdate {
    bool ok = false;      // the file holds the edit (written, or already so)
    bool changed = false; // the file was replaced
    std::string failure;  // why not, when !ok
    bool refused = false; // the file's encoding refused the change (failure says why)
    bool nowUtf8 = false; // a code page 932 file went over to UTF-8 to hold the change
    textcodec::ReadBack whyUtf8 = textcodec::ReadBack::Same; // why, when nowUtf8
};

// Turns the file's bytes ("" for a missing file) into its new bytes, or
// nothing to refuse the change.
using FileEdit = std::function<std::optional<std::string>(std::string_view bytes)>;

// The one read-modify-write of settings files: takes the file's lock, reads it,
// applies edit and replaces the file atomically, only when its bytes change.
// A file that exists but cannot be read is never replaced, so nothing in it is
// lost; a failure leaves the old file intact.
FileUpdate UpdateFileUnderLock(const std::string& path, const FileEdit& edit);

// The same for a text document (an INI or registry key file) built from the
// bytes and changed by change(document), which returns false to refuse; the
// update tells when the change took a code page 932 file over to UTF-8, and
// why, and why the file's encoding refused a change. A file that goes over
// first keeps its bytes beside it (KeepOriginalOnce); where they cannot be
// kept, the change is refused.
template <class Document, class Change> FileUpdate UpdateDocumentUnderLock(const std::string& path, Change change)
{
    bool wentOverToUtf8 = false;
    textcodec::ReadBack why = textcodec::ReadBack::Same;
    std::string refusal;
    FileUpdate update = UpdateFileUnderLock(path, [&](std::string_view bytes) -> std::optional<std::string> {
        Document document(bytes);
        if (!change(document)) {
            refusal = document.Refusal();
            return std::nullopt;
        }
        wentOverToUtf8 = document.WentOverToUtf8();
        why = document.WhyUtf8();
        if (wentOverToUtf8) {
            const KeptOriginal kept = KeepOriginalOnce(path, bytes);
            if (!kept.ok) {
                refusal = NotKeptNote(kept);
                return std::nullopt;
            }
        }
        return document.Bytes();
    });
    if (!refusal.empty()) {
        update.failure = path + ": " + refusal;
        update.refused = true;
    }
    update.nowUtf8 = update.changed && wentOverToUtf8;
    if (update.nowUtf8) {
        update.whyUtf8 = why;
    }
    return update;
}

} // namespace platform
