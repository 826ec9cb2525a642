#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Every sound assignment of the program: the buttons of every page of every
// output, the play lists of every page, and the page captions. They live for
// the whole run; reading an assign table file refills them.

inline constexpr int AssignOutputs = 4;
inline constexpr int AssignPages = 20;
inline constexpr int AssignButtons = 100;

// One sound on a button or in a list.
struct AssignRecord {
    std::string FileName;       // "" = unassigned
    std::int32_t Invalid = 0;   // 1 = cannot be played (drawn in the alert colour)
    std::int32_t Cached = 0;    // 1 = the cache copy must still be made
    std::int32_t PlayMode = 0;  // 0 Normal, 1 Momentary, 2 Latch, 3 Toggle
    std::int32_t LengthMS = 0;  // playing length
    std::int32_t StartMS = 0;   // start offset added to the cue start
    std::int32_t BackColor = 0; // &HBBGGRR; with TextColor 0 as well: the default pair
    std::int32_t TextColor = 0;
};

// The rows of one play list page. Both arrays have the same length, at least
// one: an empty list is one record without a file and sequence flag 0.
struct ListPage {
    std::vector<AssignRecord> Items{AssignRecord{}};
    std::vector<std::int32_t> Seq{0}; // 1 = the row carries the sequence mark
};

// Element of (output, page, button) in the button table.
constexpr int ButtonTableIndex(int output, int page, int button)
{
    return output + AssignOutputs * (page + AssignPages * button);
}
// Element of (output, page) in the list table.
constexpr int ListTableIndex(int output, int page)
{
    return page + AssignPages * output;
}
// Element of (output, page) in the page caption tables.
constexpr int PageNameIndex(int output, int page)
{
    return output + AssignOutputs * page;
}
