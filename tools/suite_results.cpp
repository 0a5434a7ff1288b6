// CSV rows and summary of the mate suite.
#include "tools/suite_results.h"

#include <algorithm>
#include <climits>
#include <limits>
#include <sstream>

#include "tools/suite_parse.h"

namespace {

// The headers read: the current one and the earlier ones, each the
// current one cut after so many columns.
constexpr std::size_t COLUMN_COUNTS[] = {13, 15, 16};

// The count of columns of a header this version reads; 0 for any other.
std::size_t header_columns(const std::string& header) {
  const std::string current = RESULT_CSV_HEADER;
  const bool cut_at_column = current.compare(0, header.size(), header) == 0 &&
                             (header.size() == current.size() || current[header.size()] == ',');
  const auto columns = static_cast<std::size_t>(std::count(header.begin(), header.end(), ',') + 1);
  for (std::size_t known : COLUMN_COUNTS)
    if (cut_at_column && columns == known) return columns;
  return 0;
}

// Ranges of stated mate lengths that the summary counts apart.
struct LengthRange {
  const char* name;
  int shortest;
  int longest;
};
constexpr LengthRange LENGTH_RANGES[] = {{"#1-#9", 1, 9}, {"#10-#12", 10, 12}, {"#13+", 13, INT_MAX}};

// Engine names are free text: always quoted, inner quotes doubled.
void write_quoted(std::FILE* csv, const std::string& text) {
  std::fputc('"', csv);
  for (char c : text) {
    if (c == '"') std::fputc('"', csv);
    std::fputc(c, csv);
  }
  std::fputc('"', csv);
}

// Splits one line at commas outside quotes; false for an unclosed quote.
bool split_fields(const std::string& line, std::vector<std::string>* fields) {
  fields->assign(1, "");
  bool quoted = false;
  for (size_t i = 0; i < line.size(); i++) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields->back() += '"';
      i++;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields->emplace_back();
    } else {
      fields->back() += c;
    }
  }
  return !quoted;
}

// A whole field of digits; an empty field is no number.
template <typename Number>
bool read_count(const std::string& field, Number* value) {
  long long digits = 0;
  if (!parse_digits(field.data(), static_cast<int>(field.size()), &digits)) return false;
  if (static_cast<unsigned long long>(digits) > static_cast<unsigned long long>(std::numeric_limits<Number>::max()))
    return false;
  *value = static_cast<Number>(digits);
  return true;
}

// An empty field leaves *value as it is: the column's "none".
template <typename Number>
bool read_optional(const std::string& field, Number* value) {
  return field.empty() || read_count(field, value);
}

bool read_flag(const std::string& field, bool* flag) {
  if (field != "0" && field != "1") return false;
  *flag = field == "1";
  return true;
}

bool read_row(const std::vector<std::string>& fields, std::size_t columns, ProblemResult* result) {
  if (fields.size() != columns) return false;
  const bool read = read_count(fields[0], &result->number) && !fields[1].empty() &&
                    read_count(fields[2], &result->known) && read_optional(fields[3], &result->found_mate) &&
                    read_flag(fields[4], &result->best) && read_flag(fields[5], &result->badpv) &&
                    read_optional(fields[6], &result->ms_to_best) && read_optional(fields[7], &result->nodes) &&
                    read_count(fields[8], &result->ms_used) && read_count(fields[9], &result->nps_sum) &&
                    read_count(fields[10], &result->nps_lines) && read_count(fields[11], &result->budget_ms);
  if (!read || result->number < 1 || result->known < 1) return false;
  // A best mate always has its time.
  if (result->best != (result->ms_to_best >= 0)) return false;
  result->fen = fields[1];
  result->has_nodes = !fields[7].empty();
  result->engine = fields[12];
  result->asked = result->known;
  if (columns > 13 && !(read_count(fields[13], &result->asked) && read_flag(fields[14], &result->no_mate)))
    return false;
  return columns <= 15 || read_count(fields[15], &result->keys);
}

long median(std::vector<long> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

void print_counts(const char* label, const Tally& tally) {
  std::printf("%s best=%d/%d found=%d badpv=%d median_ms=%ld no_mate=%d no_mate_median_ms=%ld several_keys=%d\n", label,
              tally.best, tally.total, tally.found, tally.badpv, median(tally.best_ms), tally.no_mate,
              median(tally.no_mate_ms), tally.several_keys);
}

}  // namespace

void write_result_row(std::FILE* csv, const ProblemResult& r) {
  std::fprintf(csv, "%d,%s,%d,", r.number, r.fen.c_str(), r.known);
  if (r.found_mate > 0) std::fprintf(csv, "%d", r.found_mate);
  std::fprintf(csv, ",%d,%d,", r.best ? 1 : 0, r.badpv ? 1 : 0);
  if (r.best) std::fprintf(csv, "%ld", r.ms_to_best);
  std::fputc(',', csv);
  if (r.has_nodes) std::fprintf(csv, "%llu", static_cast<unsigned long long>(r.nodes));
  std::fprintf(csv, ",%ld,%llu,%llu,%d,", r.ms_used, static_cast<unsigned long long>(r.nps_sum),
               static_cast<unsigned long long>(r.nps_lines), r.budget_ms);
  write_quoted(csv, r.engine);
  std::fprintf(csv, ",%d,%d,%d\n", r.asked, r.no_mate ? 1 : 0, r.keys);
}

bool read_result_rows(const std::string& text, std::vector<ProblemResult>* rows, std::string* error) {
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::size_t columns = header_columns(line);
  if (columns == 0) {
    *error = "not a mate-suite CSV of this version (its header differs)";
    return false;
  }
  std::vector<std::string> fields;
  for (int number = 2; std::getline(lines, line); number++) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    ProblemResult result;
    if (!split_fields(line, &fields) || !read_row(fields, columns, &result)) {
      *error = "line " + std::to_string(number) + " is not a result row";
      return false;
    }
    rows->push_back(result);
  }
  return true;
}

Tally tally_results(const std::vector<ProblemResult>& rows, int shortest, int longest) {
  Tally tally;
  for (const ProblemResult& r : rows) {
    if (r.known < shortest || r.known > longest) continue;
    tally.total++;
    if (r.best) {
      tally.best++;
      tally.best_ms.push_back(r.ms_to_best);
    }
    if (r.found_mate > 0) tally.found++;
    if (r.badpv) tally.badpv++;
    if (r.no_mate) {
      tally.no_mate++;
      tally.no_mate_ms.push_back(r.ms_used);
    }
    if (r.keys > 1) tally.several_keys++;
  }
  return tally;
}

void print_summary(const std::vector<ProblemResult>& rows, const char* engine, int budget_ms, double seconds) {
  uint64_t nps_sum = 0, nps_lines = 0;
  for (const ProblemResult& r : rows) {
    nps_sum += r.nps_sum;
    nps_lines += r.nps_lines;
  }
  const uint64_t nps_avg = nps_lines > 0 ? nps_sum / nps_lines : 0;
  std::printf("engine \"%s\" positions=%d ms=%d time=%.1fs nps_avg=%llu (over %llu info lines)\n", engine,
              static_cast<int>(rows.size()), budget_ms, seconds, static_cast<unsigned long long>(nps_avg),
              static_cast<unsigned long long>(nps_lines));
  for (const LengthRange& range : LENGTH_RANGES) {
    const std::string label = std::string("length ") + range.name;
    print_counts(label.c_str(), tally_results(rows, range.shortest, range.longest));
  }
  print_counts("RESULT", tally_results(rows, 1, INT_MAX));
}
