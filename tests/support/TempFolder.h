// A fresh folder, named after the running test and removed afterwards; with small file helpers.
// Every instance has a folder of its own, so a test (or a fixture holding several pages) may keep
// more than one at a time; outside a test the folder is named after the process alone.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace velmoran::testing {

class TempFolder {
public:
    TempFolder()
    {
        static std::atomic<int> made{0};
        std::string name = "velmoran-test-" + std::to_string(::getpid());
        if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
            name += std::string("-") + info->test_suite_name() + "-" + info->name();
        name += "-" + std::to_string(made++);
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing "/".
    std::string Folder() const { return path_.string() + "/"; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

    // Writes a file of the folder and returns its path.
    std::string WriteFile(const std::string& name, const std::string& bytes) const
    {
        const std::string file = *this / name;
        Write(file, bytes);
        return file;
    }

    static void Write(const std::string& file, const std::string& bytes)
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string Read(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

private:
    std::filesystem::path path_;
};

}  // namespace velmoran::testing
