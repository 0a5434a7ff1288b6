// Standard input as lines and tokens, shared by the command loop and the
// polling inside a search.
#pragma once

#include <cstdint>

// A position command with as many moves as the game record holds (798, up to
// six characters each) must fit in one line and its tokens.
constexpr int INPUT_BUFFER_SIZE = 8192;  // longest line: 8191 characters
constexpr int MAX_TOKENS = 1024;
constexpr int LONG_TOKEN_SLOTS = 10;     // slots 0..9 hold up to 99 characters
constexpr int LONG_TOKEN_SIZE = 100;
constexpr int SHORT_TOKEN_SIZE = 16;     // the others up to 15

// Everything read and not yet consumed as a line (zero-terminated).
extern char pending_input[INPUT_BUFFER_SIZE];
// Token slots; a slot past the last token reads as "".
extern char* tokens[MAX_TOKENS];
extern int token_count;

void clear_pending_input();
// Forgets all input read and a past end of input, as at start-up (for the
// fuzz targets, which run many sessions in one process).
void reset_input();
// Whether a whole line is waiting in pending_input.
bool pending_has_line();
// One raw read of standard input appended to pending_input. Returns the bytes
// appended, 0 at end of input, -1 on failure (nothing is appended then).
int fill_pending_input();
// Moves the next line out of pending_input into `line` (INPUT_BUFFER_SIZE
// bytes); its first carriage return becomes a blank. A line too long for the
// buffer is cut and the rest of it dropped. False when no whole line waits.
bool take_line(char* line);
// Whether the line last taken was cut for being too long.
bool last_line_cut();
// Whether standard input has ended or failed (no further read can succeed).
bool input_closed();
// Blocks for the next line. False once input has ended or failed and every
// line read before has been taken; a last line without a line feed counts.
bool read_input_line(char* line);

// Splits `line` at blanks and semicolons into the token slots, cutting tokens
// too long for their slot. Returns the token count.
int tokenize(const char* line);
// Whether the last tokenize left words over for want of slots.
bool tokens_overflowed();
// Leading white space, optional sign, decimal digits; anything else gives 0.
// Values beyond 32 bits saturate.
int32_t parse_number(const char* text);
// The numeric value of token i, 0 when there is no such token.
int32_t token_number(int i);
