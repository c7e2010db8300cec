// The rules of what the program remembers between runs: recent file lists,
// remembered COM ports and folders.

#include "app/desktop_memory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string_view>

namespace ardenvis::core {
namespace {

TEST(DesktopMemory, RecentFilesPutTheNewestFirstOnceAndKeepTen) {
  std::vector<std::string> recent;
  for (int i = 1; i <= 12; ++i) add_recent_file(recent, "/data/s" + std::to_string(i) + ".plr");
  ASSERT_EQ(recent.size(), kRecentFileCount);
  EXPECT_EQ(recent.front(), "/data/s12.plr");
  EXPECT_EQ(recent.back(), "/data/s3.plr");

  // The same file again, spelt another way, moves up instead of repeating.
  add_recent_file(recent, "/data/./x/../s5.plr");
  ASSERT_EQ(recent.size(), kRecentFileCount);
  EXPECT_EQ(recent.front(), "/data/s5.plr");
  EXPECT_EQ(std::count(recent.begin(), recent.end(), "/data/s5.plr"), 1);
  EXPECT_EQ(recent[1], "/data/s12.plr");
  EXPECT_EQ(recent.back(), "/data/s3.plr");
}

TEST(DesktopMemory, StoredRecentListsDropWhatCannotBeOffered) {
  std::vector<std::string> stored{"/a/one.plr", "", "relative.plr", "/a/./one.plr", "/a/two.plr"};
  for (int i = 0; i < 12; ++i) stored.push_back("/b/" + std::to_string(i) + ".plr");
  const auto usable = usable_recent_files(stored);
  ASSERT_EQ(usable.size(), kRecentFileCount);
  EXPECT_EQ(usable[0], "/a/one.plr");
  EXPECT_EQ(usable[1], "/a/two.plr");
  EXPECT_EQ(usable[2], "/b/0.plr");
}

TEST(DesktopMemory, OnlyLogDataAndConfigurationKeepRecentFiles) {
  EXPECT_TRUE(keeps_recent_files(FileKind::LogData));
  EXPECT_TRUE(keeps_recent_files(FileKind::Configuration));
  EXPECT_FALSE(keeps_recent_files(FileKind::SpreadsheetExport));
  EXPECT_EQ(file_kind_key(FileKind::LogData), "LogData");
  EXPECT_EQ(file_kind_key(FileKind::Video), "Video");
}

// Each kind's folder is remembered under a key of its own: a shared or empty
// key would let one kind's folder overwrite another's.
TEST(DesktopMemory, EveryFileKindHasItsOwnKey) {
  std::set<std::string_view> keys;
  for (int k = 0; k < kFileKindCount; ++k) {
    const std::string_view key = file_kind_key(static_cast<FileKind>(k));
    EXPECT_FALSE(key.empty()) << k;
    EXPECT_TRUE(keys.insert(key).second) << key;
  }
  EXPECT_EQ(file_kind_key(FileKind::Figure), "Figure");
  EXPECT_EQ(file_kind_key(FileKind::SessionReport), "SessionReport");
}

TEST(DesktopMemory, RememberedPortsAndFoldersAreUsedOnlyWhenValid) {
  EXPECT_EQ(usable_com_port(0), 0);
  EXPECT_EQ(usable_com_port(9), 9);
  EXPECT_EQ(usable_com_port(10), std::nullopt);
  EXPECT_EQ(usable_com_port(-1), std::nullopt);

  const std::string here = std::filesystem::temp_directory_path().string();
  EXPECT_EQ(usable_folder(here), here + "/");
  EXPECT_EQ(usable_folder(here + "/"), here + "/");
  EXPECT_EQ(usable_folder(here + "/no-such-folder-7f3a"), std::nullopt);
  EXPECT_EQ(usable_folder("relative/folder"), std::nullopt);
  EXPECT_EQ(usable_folder(""), std::nullopt);
}

}  // namespace
}  // namespace ardenvis::core
