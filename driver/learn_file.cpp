// Opening, creating and closing the learning file.
#include "driver/learn_file.h"

#include "settings.h"

std::FILE* learn_file = nullptr;
uint32_t learn_count;

namespace {

// A new file holds only its header: count 1 (little-endian), twelve zero bytes.
std::FILE* create_learn_file() {
  std::FILE* file = std::fopen(LEARN_FILE_NAME, "wb+");
  if (file == nullptr) return nullptr;
  const uint32_t count = 1;
  unsigned char header[LEARN_RECORD_SIZE] = {};
  for (int i = 0; i < 4; i++) header[i] = static_cast<unsigned char>(count >> (8 * i));
  if (std::fwrite(header, 1, sizeof header, file) != sizeof header || std::fflush(file) != 0) {
    std::fclose(file);
    return nullptr;
  }
  learn_count = count;
  return file;
}

}  // namespace

void learn_switch_on() {
  // Reopening would leak the handle already held; a reload is all that is due.
  if (learn_file == nullptr) {
    learn_file = std::fopen(LEARN_FILE_NAME, "rb+");
    if (learn_file == nullptr) learn_file = create_learn_file();
  }
  // Nothing may be written to a file that is not there.
  learn_enabled = learn_file != nullptr;
  if (learn_enabled) learn_load();
}

void learn_switch_off() {
  if (learn_file != nullptr) std::fclose(learn_file);
  learn_file = nullptr;
  learn_enabled = 0;
}

void learn_load() {}
