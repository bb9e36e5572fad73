#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data_access/jet/jet_value.h"

// The rows of the sample database, made one at a time from a fixed seed.
namespace tablift::sample {

// A table's rows: `count` of them, the i-th (from 0) made by `row(i)`.
struct SampleRows {
  std::string table;
  std::uint64_t count = 0;
  std::function<std::vector<jet::Value>(std::uint64_t)> row;
};

// In the order they are written: referenced tables before the ones that refer
// to them. `scaledRows` is the row count of "Order" and "Order Details".
std::vector<SampleRows> SampleRowSources(std::uint64_t scaledRows);

// An Access date (days since 1899-12-30) for a calendar day and time.
double AccessDate(int year, int month, int day, int hour = 0, int minute = 0);

}  // namespace tablift::sample
