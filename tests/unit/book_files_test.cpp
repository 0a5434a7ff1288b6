// Which book pair the engine opens from its working directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "driver/book.h"
#include "settings.h"
#include "tools/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

class BookFiles : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = make_scratch_dir("tervalk-book-");
    ASSERT_FALSE(dir_.empty());
    old_ = fs::current_path();
    fs::current_path(dir_);
  }
  void TearDown() override {
    book_close();
    use_engine_book = 0;
    fs::current_path(old_);
    fs::remove_all(dir_);
  }
  static void write(const std::string& name, std::size_t bytes) {
    std::ofstream(name, std::ios::binary) << std::string(bytes, '\0');
  }
  fs::path dir_, old_;
};

struct BookCase {
  const char* name;
  std::vector<std::pair<const char*, std::size_t>> files;
  uint8_t engine_book;
  uint8_t available;
  uint32_t count;
};

void PrintTo(const BookCase& c, std::ostream* os) { *os << c.name; }

class BookPair : public BookFiles, public testing::WithParamInterface<BookCase> {};

TEST_P(BookPair, OpensTheChosenPair) {
  const BookCase& c = GetParam();
  for (const auto& [name, bytes] : c.files) write(name, bytes);
  use_engine_book = c.engine_book;
  book_open();
  EXPECT_EQ(book_available, c.available);
  EXPECT_EQ(book_count, c.count);
  EXPECT_EQ(book_data_file != nullptr, c.available == 1);
  EXPECT_EQ(book_index_file != nullptr, c.available == 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BookPair,
    testing::Values(
        BookCase{"NoFiles", {}, 0, 0, 0},
        BookCase{"PlainPairAloneIsNotUsed", {{"book.dat", 24}, {"book.ind", 16}}, 0, 0, 0},
        BookCase{"BothPairsUseThePlainOne",
                 {{"book.dat", 24}, {"book.ind", 16}, {"QVbook.dat", 24}, {"QVbook.ind", 40}}, 0, 1, 2},
        BookCase{"QvPairWithoutPlainPairIsDropped", {{"QVbook.dat", 24}, {"QVbook.ind", 40}}, 0, 0, 0},
        BookCase{"EngineBookUsesQvPair",
                 {{"book.dat", 24}, {"book.ind", 16}, {"QVbook.dat", 24}, {"QVbook.ind", 43}}, 1, 1, 5},
        BookCase{"EngineBookNeedsBothQvFiles", {{"QVbook.dat", 24}}, 1, 0, 0},
        BookCase{"EmptyIndexHasNoEntries", {{"QVbook.dat", 0}, {"QVbook.ind", 0}}, 1, 1, 0}),
    [](const testing::TestParamInfo<BookCase>& info) { return info.param.name; });

TEST_F(BookFiles, ReopeningDoesNotLeakHandles) {
  write("QVbook.dat", 24);
  write("QVbook.ind", 8);
  use_engine_book = 1;
  for (int i = 0; i < 2000; i++) book_open();
  EXPECT_EQ(book_available, 1);
  book_close();
  EXPECT_EQ(book_available, 0);
  EXPECT_EQ(book_data_file, nullptr);
}

}  // namespace
