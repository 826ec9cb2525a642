// Test entry point: every test process runs under the offscreen Qt platform,
// with its own runtime and configuration folders inside one temporary folder,
// so tests never meet the user's settings, the registry files or a running
// session.
#include <QApplication>
#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::filesystem::path MakeProcessFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tolv-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::exit(2);
    }
    return pattern;
}

} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path folder = MakeProcessFolder();
    std::filesystem::create_directories(folder / "runtime");
    std::filesystem::permissions(folder / "runtime", std::filesystem::perms::owner_all);
    std::filesystem::create_directories(folder / "config");
    // A test that drives a real X server starts this program again with
    // TOLV_TEST_QPA=xcb; every other run is offscreen.
    const char* platformName = std::getenv("TOLV_TEST_QPA");
    setenv("QT_QPA_PLATFORM", platformName != nullptr && *platformName != '\0' ? platformName : "offscreen", 1);
    setenv("XDG_RUNTIME_DIR", (folder / "runtime").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    setenv("TOLV_TEST_FOLDER", folder.c_str(), 1);

    int result = 0;
    {
        QApplication app(argc, argv);
        testing::InitGoogleMock(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return result;
}
