// Entry point of the operator sessions: the real window on an X server of its
// own (Xvfb), with the same private runtime and configuration folders as
// every other test process. Without Xvfb the sessions are skipped, with the
// reason.
#include "support/XvfbServer.h"

#include <QApplication>
#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::filesystem::path MakeProcessFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tolv-operator-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::exit(2);
    }
    return pattern;
}

// The X keyboard library copies a name with strndup from a buffer that is
// not NUL-terminated within reach, which strict string checks report
// although strndup never reads past its bound. This process alone runs
// without that check (a later option overrides an earlier one), by starting
// itself again once.
void WithoutStrictStringChecks(char** argv)
{
#if defined(__SANITIZE_ADDRESS__)
    const char* options = std::getenv("ASAN_OPTIONS");
    const std::string current = options != nullptr ? options : "";
    if (current.find("strict_string_checks=1") == std::string::npos || std::getenv("TOLV_RELAXED_STRINGS")) {
        return;
    }
    setenv("ASAN_OPTIONS", (current + ":strict_string_checks=0").c_str(), 1);
    setenv("TOLV_RELAXED_STRINGS", "1", 1);
    execv("/proc/self/exe", argv);
#else
    (void)argv;
#endif
}

} // namespace

int main(int argc, char** argv)
{
    WithoutStrictStringChecks(argv);
    const std::filesystem::path folder = MakeProcessFolder();
    std::filesystem::create_directories(folder / "runtime");
    std::filesystem::permissions(folder / "runtime", std::filesystem::perms::owner_all);
    std::filesystem::create_directories(folder / "config");
    setenv("XDG_RUNTIME_DIR", (folder / "runtime").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    setenv("TOLV_TEST_FOLDER", folder.c_str(), 1);

    std::string display;
    std::string why;
    const pid_t server = testsupport::StartXvfb(display, why);
    if (server > 0) {
        setenv("DISPLAY", display.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        unsetenv("WAYLAND_DISPLAY");
    } else {
        // The sessions skip; the process still needs a platform.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("TOLV_NO_X_SERVER", why.c_str(), 1);
    }

    int result = 0;
    {
        QApplication app(argc, argv);
        testing::InitGoogleMock(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    testsupport::StopXvfb(server);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return result;
}
