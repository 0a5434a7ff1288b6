// What the fuzz targets share: the engine set up once, in a working directory
// of its own with its output thrown away, and put back into a known state
// before each input, so that an input found once replays alike on its own.
#pragma once

#include <cstddef>
#include <cstdint>

// Every search of a fuzz target stops at this node count.
constexpr uint32_t FUZZ_NODE_BUDGET = 3000;

// Resets settings, files, input and position to those of a fresh engine
// after its first isready (with the smallest Hash), and the tables too for
// a target that searches. The first call sets the engine up.
void fuzz_new_input(bool searches = true);

// A search of the current position to `depth`, bounded by the node budget.
void fuzz_search(int depth);

// Aborts with `what` on standard error: the fuzzer reports it as a crash.
[[noreturn]] void fuzz_fail(const char* what, const char* detail = "");

// The position must be consistent; after a set-up also the side not to move
// must not be in check. (After a search that ends in a draw the mover keeps
// the turn, so its check on the other king is no fault then.)
void fuzz_check_position(const char* when, bool after_setup);

// Writes `size` bytes at `data` as the file `name` in the working directory.
void fuzz_write_file(const char* name, const uint8_t* data, std::size_t size);
