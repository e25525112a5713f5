// The test program's own home folder; see ShellTestEnvironment.h.
#include "tests/shell/ShellTestEnvironment.h"

#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace velmoran::testing {

namespace {

// Made during static initialisation, before the application object exists.
struct Home {
    Home()
    {
        folder = (std::filesystem::temp_directory_path() / ("velmoran-shell-home-" + std::to_string(::getpid()))).string();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        folder += "/";
        ::setenv("HOME", folder.c_str(), 1);
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("XDG_DOCUMENTS_DIR");
        QStandardPaths::setTestModeEnabled(true);
    }
    ~Home() { std::filesystem::remove_all(folder); }

    std::string folder;
};

Home& TheHome()
{
    static Home home;
    return home;
}

const bool kHomeMade = !TheHome().folder.empty();

}  // namespace

const std::string& TestHome()
{
    return TheHome().folder;
}

}  // namespace velmoran::testing
