// A fresh settings folder per test: XDG_CONFIG_HOME points into a new temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "settings/store.h"

namespace lmvn::testing {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "lmvn-settings-XXXXXX");
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  std::string Path() const { return SettingsFilePath(kSettingsApp); }
  std::string FileText(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string FileText() const { return FileText(Path()); }
  void PutFile(const std::string& text) const {
    std::filesystem::create_directories(std::filesystem::path(Path()).parent_path());
    std::ofstream(Path(), std::ios::binary) << text;
  }

  std::filesystem::path root_;
};

}  // namespace lmvn::testing
