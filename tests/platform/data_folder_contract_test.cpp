// SPDX-License-Identifier: GPL-3.0-or-later
// What the journal relies on from the data folder, over the platform's real one (a temporary
// folder) and over the double the journal's tests use.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <ostream>
#include <string>

#include "platform/data_folder.h"
#include "platform/testing/memory_data_folder.h"

namespace drunvale {
namespace {

namespace fs = std::filesystem;
using Status = FileResult::Status;

// A folder that does not exist yet, two levels below a fresh temporary one.
class Place {
 public:
  Place() {
    static std::atomic<int> next{0};
    root_ = fs::temp_directory_path() /
            ("drunvale-data-" +
             std::to_string(fs::file_time_type::clock::now().time_since_epoch().count()) + "-" +
             std::to_string(next++));
  }
  ~Place() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  std::string Folder() const { return (root_ / "Tembrook" / "Drunvale").string(); }
  const fs::path& Root() const { return root_; }

 private:
  fs::path root_;
};

struct Kind {
  const char* name;
  std::function<std::unique_ptr<DataFolder>(const std::string& path)> open;
};

void PrintTo(const Kind& kind, std::ostream* out) {
  *out << kind.name;
}

class DataFolderContract : public ::testing::TestWithParam<Kind> {
 protected:
  std::unique_ptr<DataFolder> Open() { return GetParam().open(place_.Folder()); }
  Place place_;
};

TEST_P(DataFolderContract, AppendingAddsRowsAfterAHeaderAndNeverTouchesWhatIsThere) {
  auto folder = Open();
  std::string text;
  EXPECT_EQ(folder->Read("trips.csv", text).status, Status::NotFound);
  ASSERT_TRUE(folder->AppendLine("trips.csv", "\xEF\xBB\xBFначало,конец", "1,2").Ok());
  ASSERT_TRUE(folder->AppendLine("trips.csv", "\xEF\xBB\xBFначало,конец", "3,4").Ok());
  ASSERT_TRUE(folder->Read("trips.csv", text).Ok());
  EXPECT_EQ(text, "\xEF\xBB\xBFначало,конец\n1,2\n3,4\n");

  // The tail of a write cut short stays a line of its own.
  std::string cut = text + "5,";
  ASSERT_TRUE(folder->Replace("trips.csv", cut).Ok());
  ASSERT_TRUE(folder->AppendLine("trips.csv", "header", "6,7").Ok());
  ASSERT_TRUE(folder->Read("trips.csv", text).Ok());
  EXPECT_EQ(text, cut + "\n6,7\n");
  EXPECT_NE(folder->PathOf("trips.csv").find("trips.csv"), std::string::npos);
  EXPECT_EQ(folder->PathOf("trips.csv").rfind(folder->Path(), 0), 0u);
}

TEST_P(DataFolderContract, ReplacingIsWholeAndRemovingAMissingFileIsNoFailure) {
  auto folder = Open();
  ASSERT_TRUE(folder->Replace("checkpoint.txt", "first").Ok());
  ASSERT_TRUE(folder->Replace("checkpoint.txt", "second").Ok());
  std::string text;
  ASSERT_TRUE(folder->Read("checkpoint.txt", text).Ok());
  EXPECT_EQ(text, "second");
  EXPECT_TRUE(folder->Remove("checkpoint.txt").Ok());
  EXPECT_TRUE(folder->Remove("checkpoint.txt").Ok());
  EXPECT_EQ(folder->Read("checkpoint.txt", text).status, Status::NotFound);

  // A new name never replaces a file that has it.
  ASSERT_TRUE(folder->Replace("checkpoint.txt", "kept").Ok());
  ASSERT_TRUE(folder->Replace("taken.txt", "taken").Ok());
  EXPECT_EQ(folder->Rename("checkpoint.txt", "taken.txt").status, Status::Busy);
  EXPECT_TRUE(folder->Rename("checkpoint.txt", "aside.txt").Ok());
  ASSERT_TRUE(folder->Read("aside.txt", text).Ok());
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(folder->Read("checkpoint.txt", text).status, Status::NotFound);
  ASSERT_TRUE(folder->Read("taken.txt", text).Ok());
  EXPECT_EQ(text, "taken");
}

TEST_P(DataFolderContract, OneCopyAtATimeClaimsTheFolder) {
  auto first = Open();
  ASSERT_TRUE(first->Claim().Ok());
  EXPECT_TRUE(first->Claim().Ok());
  auto second = Open();
  EXPECT_EQ(second->Claim().status, Status::Busy);
  first.reset();
  EXPECT_TRUE(second->Claim().Ok());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, DataFolderContract,
    ::testing::Values(
        Kind{"System", [](const std::string& path) { return OpenDataFolderAt(path); }},
        Kind{"Memory",
             [](const std::string& path) -> std::unique_ptr<DataFolder> {
               // Copies of one folder share their files, as two opens of one path do.
               static std::map<std::string, std::unique_ptr<MemoryDataFolder>> folders;
               auto& folder = folders[path];
               if (!folder) folder = std::make_unique<MemoryDataFolder>(path);
               return folder->Another();
             }}),
    [](const ::testing::TestParamInfo<Kind>& kind) { return std::string(kind.param.name); });

TEST(SystemDataFolder, AFileInTheFoldersPlaceFailsEveryWriteAndReadsNothing) {
  Place place;
  fs::create_directories(place.Root() / "Tembrook");
  std::ofstream(place.Folder()) << "not a folder";
  auto folder = OpenDataFolderAt(place.Folder());
  EXPECT_FALSE(folder->AppendLine("trips.csv", "h", "1").Ok());
  EXPECT_FALSE(folder->Replace("checkpoint.txt", "x").Ok());
  EXPECT_FALSE(folder->Claim().Ok());
  std::string text;
  EXPECT_FALSE(folder->Read("trips.csv", text).Ok());
  EXPECT_FALSE(OpenDataFolderAt("")->AppendLine("trips.csv", "h", "1").Ok());
}

}  // namespace
}  // namespace drunvale
