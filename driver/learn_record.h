// One 16-byte record of the learning file, in its little-endian byte form.
#pragma once

#include <cstdint>
#include <cstdio>

#include "driver/learn_file.h"

struct LearnRecord {
  uint32_t lock;   // hash_lock of the root position
  uint32_t key;    // hash_key, chooses the table slot
  int16_t score;   // best move's score for the side to move
  uint8_t flags;   // always TT_EXACT when written
  int8_t depth;    // iteration at which the search ended
  uint8_t side;    // side to move: 0 White, 1 Black
  uint16_t move;   // from << 6 | to
};

void encode_learn_record(const LearnRecord& record, unsigned char bytes[LEARN_RECORD_SIZE]);
LearnRecord decode_learn_record(const unsigned char bytes[LEARN_RECORD_SIZE]);

// The header's count sits in the first four bytes.
void encode_learn_count(uint32_t count, unsigned char bytes[LEARN_RECORD_SIZE]);
uint32_t decode_learn_count(const unsigned char bytes[LEARN_RECORD_SIZE]);

// Transfers one whole record at the current file position; false when the
// transfer comes up short.
bool read_learn_bytes(std::FILE* file, unsigned char bytes[LEARN_RECORD_SIZE]);
bool write_learn_bytes(std::FILE* file, const unsigned char bytes[LEARN_RECORD_SIZE]);
// Positions the file at record `index` (0 is the header).
bool seek_learn_record(std::FILE* file, uint32_t index);
