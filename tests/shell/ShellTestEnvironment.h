// What every shell test runs in: a home folder of its own (made when the test program starts,
// before anything asks Qt for a standard folder), the XDG folders unset and Qt's test mode for
// standard folders on, so that no test reads or writes the user's real settings and folders.
// Fixtures start from empty settings.
#pragma once

#include <gtest/gtest.h>

#include <QSettings>

#include <filesystem>
#include <string>
#include <system_error>

namespace velmoran::testing {

// The home folder of the test program, with a trailing "/".
const std::string& TestHome();

// Empties the program's settings, before and after each test.
class EmptySettings : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }

    static void Clear()
    {
        // The file Qt names for the program's settings, which the program keeps itself.
        std::error_code error;
        std::filesystem::remove(QSettings().fileName().toStdString(), error);
    }
};

}  // namespace velmoran::testing
