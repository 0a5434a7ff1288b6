// Byte order of learning-file records, independent of the host's.
#include "driver/learn_record.h"

namespace {

void put16(unsigned char* at, uint16_t value) {
  at[0] = static_cast<unsigned char>(value);
  at[1] = static_cast<unsigned char>(value >> 8);
}

void put32(unsigned char* at, uint32_t value) {
  put16(at, static_cast<uint16_t>(value));
  put16(at + 2, static_cast<uint16_t>(value >> 16));
}

uint16_t get16(const unsigned char* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

uint32_t get32(const unsigned char* at) { return get16(at) | static_cast<uint32_t>(get16(at + 2)) << 16; }

}  // namespace

void encode_learn_record(const LearnRecord& record, unsigned char bytes[LEARN_RECORD_SIZE]) {
  put32(bytes, record.lock);
  put32(bytes + 4, record.key);
  put16(bytes + 8, static_cast<uint16_t>(record.score));
  bytes[10] = record.flags;
  bytes[11] = static_cast<unsigned char>(record.depth);
  bytes[12] = record.side;
  bytes[13] = 0;
  put16(bytes + 14, record.move);
}

LearnRecord decode_learn_record(const unsigned char bytes[LEARN_RECORD_SIZE]) {
  LearnRecord record;
  record.lock = get32(bytes);
  record.key = get32(bytes + 4);
  record.score = static_cast<int16_t>(get16(bytes + 8));
  record.flags = bytes[10];
  record.depth = static_cast<int8_t>(bytes[11]);
  record.side = bytes[12];
  record.move = get16(bytes + 14);
  return record;
}

void encode_learn_count(uint32_t count, unsigned char bytes[LEARN_RECORD_SIZE]) { put32(bytes, count); }

uint32_t decode_learn_count(const unsigned char bytes[LEARN_RECORD_SIZE]) { return get32(bytes); }

bool read_learn_bytes(std::FILE* file, unsigned char bytes[LEARN_RECORD_SIZE]) {
  return std::fread(bytes, 1, LEARN_RECORD_SIZE, file) == static_cast<size_t>(LEARN_RECORD_SIZE);
}

bool write_learn_bytes(std::FILE* file, const unsigned char bytes[LEARN_RECORD_SIZE]) {
  return std::fwrite(bytes, 1, LEARN_RECORD_SIZE, file) == static_cast<size_t>(LEARN_RECORD_SIZE);
}

bool seek_learn_record(std::FILE* file, uint32_t index) {
  return std::fseek(file, static_cast<long>(index) * LEARN_RECORD_SIZE, SEEK_SET) == 0;
}
