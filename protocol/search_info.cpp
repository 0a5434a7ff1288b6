// Formatting of the info lines: currmove, and the mate lines with their
// principal variations.
#include "protocol/search_info.h"

#include <cstdarg>
#include <cstdio>

#include "board/notation.h"
#include "search/helper_threads.h"
#include "search/pv.h"
#include "search/tt.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

namespace {

// Words plus up to 98 moves of up to six characters each.
constexpr int INFO_TEXT_SIZE = 1024;

struct Text {
  char buffer[INFO_TEXT_SIZE];
  int length = 0;

  void append(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    if (length >= INFO_TEXT_SIZE - 1) return;
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer + length, static_cast<std::size_t>(INFO_TEXT_SIZE - length), format, args);
    va_end(args);
    if (n > 0) length = length + n < INFO_TEXT_SIZE ? length + n : INFO_TEXT_SIZE - 1;
  }
};

struct Figures {
  uint32_t node_figure, nps, hashfull;
  int shown_seldepth;
};

Figures current_figures() {
  Figures f{};
  f.node_figure = static_cast<uint32_t>(reported_nodes());
  f.nps = elapsed > 0 ? f.node_figure / static_cast<uint32_t>(elapsed) * 100 : 0;
  // 64-bit: the product outgrows 32 bits once a few million slots are used.
  f.hashfull = static_cast<uint32_t>(uint64_t{tt_used.load(std::memory_order_relaxed)} * 1000 / (2 * uint64_t{hash_mask} + 2));
  f.shown_seldepth = reported_depth > seldepth ? reported_depth : seldepth;
  return f;
}

void append_moves(Text& text, const uint16_t* moves, const uint16_t* flags) {
  for (int i = 1; i < PV_SLOTS && moves[i] != 0; i++) {
    format_move(key_from(moves[i]), key_to(moves[i]), flags[i]);
    text.append(" %s", move_text[0]);
  }
}

void print_depth_line(const Text& text, const char* prefix = "") {
  const Figures f = current_figures();
  std::printf("info %sdepth %d seldepth %d time %ld nodes %u nps %u hashfull %u%s%s\n", prefix, reported_depth,
              f.shown_seldepth, static_cast<long>(elapsed) * 10, f.node_figure, f.nps, f.hashfull,
              text.length > 0 ? " " : "", text.buffer);
  std::fflush(stdout);
}

}  // namespace

uint64_t reported_nodes() { return 2 * uint64_t{nodes + helper_nodes()}; }

void report_figures() { print_depth_line(Text{}); }

namespace {

// The shortest exact mate for the side to move shown in this search; 0 none.
int shortest_shown;

void note_shown(const ShownLine& line) {
  if (line.kind != SHOWN_EXACT || line.score <= MATE_BOUND) return;
  const int moves = mate_distance(line.score);
  if (shortest_shown == 0 || moves < shortest_shown) shortest_shown = moves;
}

}  // namespace

void report_new_search() { shortest_shown = 0; }

void report_no_mate(int moves) {
  // Both claims are proven, so they cannot both hold; should one ever be
  // wrong, the mate shown, with its line, is the one a user can check.
  if (shortest_shown != 0 && shortest_shown <= moves) return;
  std::printf("info string no mate in %d\n", moves);
  std::fflush(stdout);
}

void report_currmove(int from, int to, int16_t moves_tried) {
  format_move(from, to, 0);
  if (elapsed <= 100) return;
  const Figures f = current_figures();
  std::printf("info currmove %s currmovenumber %d depth %d seldepth %d nodes %u nps %u hashfull %u\n", move_text[0],
              moves_tried, reported_depth, f.shown_seldepth, f.node_figure, f.nps, f.hashfull);
  std::fflush(stdout);
}

namespace {

void append_mate(Text& text, const ShownLine& line) {
  text.append("score mate %d", mate_distance(line.score));
  if (line.kind == SHOWN_LOWER) text.append(" lowerbound");
  if (line.kind == SHOWN_UPPER) text.append(" upperbound");
}

// A mate by its proven line: the score, then the moves.
void append_proven(Text& text, const ShownLine& line) {
  append_mate(text, line);
  text.append(" pv");
  append_moves(text, line.moves, line.flags);
}

// A further MultiPV line: a mate for the side to move by its proven line,
// anything else by the moves read back from the table.
void print_extra_line(int k) {
  const MultiPvLine& record = multipv_records[k];
  Text text;
  text.append("info multipv %d ", k + 1);
  if (record.score >= MATE_BOUND) {
    if (record.shown.kind == SHOWN_NONE) return;
    note_shown(record.shown);
    append_proven(text, record.shown);
  } else if (record.score < -MATE_BOUND && record.shown.kind != SHOWN_EXACT) {
    // Mated, as the search says but the board could not confirm.
    append_proven(text, record.shown);
  } else {
    if (record.score > -MATE_BOUND)
      text.append("score cp %d", record.score);
    else
      text.append("score mate %d", mate_distance(record.score));
    text.append(" pv");
    append_moves(text, record.moves, record.flags);
  }
  std::printf("%s\n", text.buffer);
  std::fflush(stdout);
}

}  // namespace

void report_exact_line(const ShownLine& line) {
  note_shown(line);
  Text text;
  if (line.score > MATE_BOUND || line.score < -MATE_BOUND)
    text.append("score mate %d", mate_distance(line.score));
  else
    text.append("score cp %d", line.score);
  text.append(" pv");
  append_moves(text, line.moves, line.flags);
  print_depth_line(text);
}

void report_search(const ShownLine& best) {
  if (best.score < MATE_BOUND || best.kind == SHOWN_NONE) return;
  note_shown(best);
  Text text;
  append_mate(text, best);
  const bool several = multipv_lines > 1 && reported_depth > 1;
  text.append(several ? " multipv 1 pv" : " pv");
  append_moves(text, best.moves, best.flags);
  print_depth_line(text);
  if (!several) return;
  for (int k = 1; k < multipv_lines && k < MULTIPV_RECORDS; k++) print_extra_line(k);
}

void report_keys() {
  for (int k = 0; k < key_lines_shown && k < multipv_lines; k++) {
    char prefix[24];
    std::snprintf(prefix, sizeof(prefix), "multipv %d ", k + 1);
    Text text;
    note_shown(multipv_records[k].shown);
    append_proven(text, multipv_records[k].shown);
    print_depth_line(text, prefix);
  }
}
