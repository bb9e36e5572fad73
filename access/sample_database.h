#pragma once

#include <cstdint>
#include <filesystem>

#include "data_access/jet/writer/write_status.h"

namespace tablift {

// The rows the two biggest tables of the sample ("Order" and "Order Details")
// get unless told otherwise.
inline constexpr std::uint64_t kDefaultSampleRows = 1000;

// What a written sample holds.
struct SampleSummary {
  int tables = 0;
  int relationships = 0;
  int queries = 0;
  std::uint64_t rows = 0;  // over all tables
};

// Writes the sample order-processing database to `path` (which must not exist):
// eight related tables covering every Access column type and the awkward values
// a migration meets, relationships with and without cascades, and saved
// queries. The rows are the same on every run; `rows` scales "Order" and
// "Order Details", which are streamed row by row. Fills `summary` on success.
jet::WriteStatus WriteSampleDatabase(const std::filesystem::path& path, std::uint64_t rows,
                                     SampleSummary& summary);

}  // namespace tablift
