#pragma once

// The built program started as a process of its own, for the tests of what
// a user or a launcher sees of it: its exit status, its errors and how long
// it ran.
#include <QString>
#include <QStringList>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace shelltest {

// The program beside the test executables' folder.
std::string ProgramPath();

struct Finished {
    int exitCode = -1; // -1 when it crashed or did not end
    std::string errors;
    // From before its start to after its end.
    std::chrono::milliseconds elapsed{0};
};

// Runs a program to its end with the environment changed as given, waiting
// on the event loop (this process answers hand-overs meanwhile).
Finished RunProgram(const QString& program, const QStringList& arguments,
                    const std::vector<std::pair<QString, QString>>& set, const QStringList& unset = {});

} // namespace shelltest
