// Opening and closing the book pair, and the rating table of its statistics.
#include <cstdio>

#include "driver/book.h"
#include "settings.h"

std::FILE* book_data_file = nullptr;
std::FILE* book_index_file = nullptr;
uint8_t book_available;
uint32_t book_count;
int16_t performance_table[101];

namespace {

// Opens data and index of one pair; holds both or neither.
bool open_pair(const char* data_name, const char* index_name, std::FILE** data, std::FILE** index) {
  *data = std::fopen(data_name, "rb");
  if (*data == nullptr) return false;
  *index = std::fopen(index_name, "rb");
  if (*index == nullptr) {
    std::fclose(*data);
    *data = nullptr;
    return false;
  }
  return true;
}

void close_handles(std::FILE** data, std::FILE** index) {
  if (*index != nullptr) std::fclose(*index);
  if (*data != nullptr) std::fclose(*data);
  *index = *data = nullptr;
}

}  // namespace

void book_open() {
  book_close();
  book_available = open_pair("QVbook.dat", "QVbook.ind", &book_data_file, &book_index_file) ? 1 : 0;
  if (!use_engine_book) {
    // The plain pair replaces the QVbook pair, but is only used when that
    // pair opened as well.
    std::FILE* data = nullptr;
    std::FILE* index = nullptr;
    if (open_pair("book.dat", "book.ind", &data, &index)) {
      close_handles(&book_data_file, &book_index_file);
      book_data_file = data;
      book_index_file = index;
    } else {
      book_available = 0;
    }
  }
  if (!book_available) {
    close_handles(&book_data_file, &book_index_file);
    book_count = 0;
    return;
  }
  book_count = 0;
  if (std::fseek(book_index_file, 0, SEEK_END) == 0) {
    long length = std::ftell(book_index_file);
    if (length > 0) book_count = static_cast<uint32_t>(length / 8);
  }
}

void book_close() {
  close_handles(&book_data_file, &book_index_file);
  book_available = 0;
}

void fill_performance_table() {
  static constexpr int16_t upper_half[51] = {
      0,   7,   14,  21,  29,  36,  43,  50,  57,  65,  72,  80,  87,  95,  102, 110, 117,
      125, 133, 141, 149, 158, 166, 175, 184, 193, 202, 211, 220, 230, 240, 251, 262, 273,
      284, 296, 309, 322, 336, 351, 366, 383, 401, 422, 444, 470, 501, 538, 589, 677, 874};
  for (int p = 50; p <= 100; p++) performance_table[p] = upper_half[p - 50];
  for (int p = 0; p < 50; p++) performance_table[p] = static_cast<int16_t>(-performance_table[100 - p]);
}
