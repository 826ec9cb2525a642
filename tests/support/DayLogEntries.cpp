#include "support/DayLogEntries.h"

#include <filesystem>
#include <fstream>

namespace testsupport {

std::vector<std::string> DayLogEntries(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".log" && entry.path().extension() != ".err") {
            continue;
        }
        std::ifstream file(entry.path());
        std::string line;
        while (std::getline(file, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            entries.push_back(line.size() > 20 ? line.substr(20) : line);
        }
    }
    return entries;
}

} // namespace testsupport
