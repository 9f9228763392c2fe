// A fresh, empty folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace testing_support {

class TempFolder {
public:
    TempFolder() {
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (;;) {
            path_ = std::filesystem::temp_directory_path() / ("brindlemark-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(path_)) break;
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace testing_support
