// A fresh world per test, with drive C in a private directory removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <xlplatform/world.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class WorldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        xlplatform::ResetWorld();
        std::string pattern =
            (std::filesystem::temp_directory_path() / "xlplatform-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        xlplatform::TheWorld().driveRoots['C'] = root_;
    }

    void TearDown() override {
        xlplatform::ResetWorld();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    // A Linux path under the test's drive C.
    std::string Root(const std::string& relative = "") const { return root_ + "/" + relative; }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static void WriteFile(const std::string& path, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

  private:
    std::string root_;
};
