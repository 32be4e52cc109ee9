#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

// Switches LC_NUMERIC for the lifetime of the object and restores it after.
class NumericLocale {
public:
    explicit NumericLocale(const char *name)
        : previous_(std::setlocale(LC_NUMERIC, nullptr)), active_(std::setlocale(LC_NUMERIC, name) != nullptr)
    {
    }
    ~NumericLocale() { std::setlocale(LC_NUMERIC, previous_.c_str()); }
    NumericLocale(const NumericLocale &) = delete;
    NumericLocale &operator=(const NumericLocale &) = delete;

    bool Active() const { return active_; }

private:
    std::string previous_;
    bool active_;
};

inline constexpr const char *kCommaLocale = "de_DE.UTF-8";

// Skips the current test when the comma locale is not installed.
#define USE_COMMA_LOCALE(guard)                                                                              \
    NumericLocale guard(kCommaLocale);                                                                       \
    if (!guard.Active())                                                                                     \
    GTEST_SKIP() << kCommaLocale << " is not installed (locale-gen " << kCommaLocale << ")"

// A fresh, empty directory for one test, removed afterwards.
class ScratchDirectory {
public:
    ScratchDirectory()
    {
        const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ =
            std::filesystem::temp_directory_path() / ("filonex-" + std::string(test->test_suite_name()) +
                                                      "-" + test->name() + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() { std::filesystem::remove_all(path_); }
    ScratchDirectory(const ScratchDirectory &) = delete;
    ScratchDirectory &operator=(const ScratchDirectory &) = delete;

    std::string File(const std::string &name) const { return (path_ / name).string(); }
    const std::filesystem::path &Path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// How often what occurs in text.
inline int Count(const std::string &text, const std::string &what)
{
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}
