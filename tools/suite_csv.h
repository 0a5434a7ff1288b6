// The CSV files of results: the --csv file opened, those of jobs and shards
// read back, and with --merge several made into the summary of one run.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/suite_results.h"

// The --csv file opened for writing; nullptr, noted, when it cannot be.
std::FILE* open_csv();
// The header and `results` into `csv`, which is then closed.
void write_csv(std::FILE* csv, const std::vector<ProblemResult>& results);

bool read_file_text(const char* path, std::string* text);
// Appends the rows of the CSV file at `path`; false, noted, when it cannot.
bool read_result_file(const char* path, std::vector<ProblemResult>* results);

// Problem order; false, noted, when a problem comes twice, as from
// overlapping shards.
bool order_results(std::vector<ProblemResult>* results);

// The --merge run over the CSV files given: its exit code.
int merge_files();
