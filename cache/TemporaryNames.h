#pragma once

#include <functional>
#include <string>
#include <string_view>

// The names under which the file transfer control writes a copy before it
// takes the target's name: "~tmp", four digits and ".tmp" in the target's
// folder, so that left-overs of a crash are easy to recognise and sweep.
namespace cache::filehand {

// Draws the four-digit number of a name, 0..9999.
using NumberSource = std::function<int()>;

// Numbers from one pseudo-random generator seeded once per run, so that two
// sessions writing into the same folder seldom draw the same name (and when
// they do, the exclusive creation of the file tells them apart).
NumberSource SeededNumberSource();

// folder (with its trailing separator) & "~tmp" & the number in four digits & ".tmp".
std::string TemporaryName(std::string_view folder, int number);

// A file name the control may have left behind: twelve characters beginning
// "~tmp" and ending ".tmp", case counting.
bool LooksTemporary(std::string_view fileName);

} // namespace cache::filehand
