// The GaviotaTbPath value split into folders, and the table names looked for.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "search/table_files.h"

namespace {

TEST(TableFiles, FoldersAreSplitAtSemicolonsWithBlanksTakenOff) {
  struct Case {
    const char* text;
    std::vector<std::string> folders;
  };
  const Case cases[] = {
      {"", {}},
      {"/usr/share/gaviotatb/gtb4", {"/usr/share/gaviotatb/gtb4"}},
      {" /a ; /b c ;;/d ", {"/a", "/b c", "/d"}},
      {"C:\\Tables;D:\\More", {"C:\\Tables", "D:\\More"}},
      {" ; ", {}},
  };
  for (const Case& c : cases) {
    TableFolders out;
    ASSERT_TRUE(split_table_folders(c.text, &out)) << c.text;
    ASSERT_EQ(out.count, static_cast<int>(c.folders.size())) << c.text;
    for (int i = 0; i < out.count; i++) EXPECT_EQ(out.folder[i], c.folders[i]) << c.text;
  }
}

TEST(TableFiles, TooManyOrTooLongFoldersAreRefused) {
  TableFolders out;
  std::string many;
  for (int i = 0; i <= TABLE_FOLDERS_MAX; i++) many += "/f" + std::to_string(i) + ";";
  EXPECT_FALSE(split_table_folders(many.c_str(), &out));
  const std::string long_one(TABLE_FOLDER_SIZE, 'x');
  EXPECT_FALSE(split_table_folders(long_one.c_str(), &out));
}

TEST(TableFiles, EveryMaterialOfThreeToFiveMenIsNamedOnce) {
  std::set<std::string> names;
  for (int i = 0; i < TABLE_NAMES; i++) names.insert(table_name(i));
  EXPECT_EQ(names.size(), static_cast<std::size_t>(TABLE_NAMES));
  for (const char* name : {"kqk", "krk", "kbk", "knk", "kpk", "kqkr", "kbnk", "kppk", "krpkb", "kqqqk", "kpkpp"})
    EXPECT_EQ(names.count(name), 1u) << name;
  for (const std::string& name : names) {
    EXPECT_EQ(name[0], 'k') << name;
    EXPECT_NE(name[1], 'k') << name;  // white has a man besides the king
    EXPECT_LE(name.size(), 6u) << name;
  }
}

}  // namespace
