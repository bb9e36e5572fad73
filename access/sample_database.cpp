#include "access/sample_database.h"

#include "access/sample_rows.h"
#include "access/sample_schema.h"
#include "data_access/jet/writer/jet_database_writer.h"

namespace tablift {

jet::WriteStatus WriteSampleDatabase(const std::filesystem::path& path, std::uint64_t rows,
                                     SampleSummary& summary) {
  SampleSummary written;
  jet::JetDatabaseWriter writer;
  jet::DatabaseOptions options;
  options.created = sample::AccessDate(2024, 1, 1, 12, 0);
  if (auto status = writer.create(path, options); !status) return status;
  for (const auto& table : sample::SampleTables()) {
    if (auto status = writer.addTable(table); !status) return status;
    ++written.tables;
  }
  // Relationships that need new indexes come before any rows.
  for (const auto& relationship : sample::SampleRelationships()) {
    if (auto status = writer.addRelationship(relationship); !status) return status;
    ++written.relationships;
  }
  for (const auto& query : sample::SampleQueries()) {
    if (auto status = writer.addQuery(query); !status) return status;
    ++written.queries;
  }
  for (const auto& source : sample::SampleRowSources(rows)) {
    for (std::uint64_t i = 0; i < source.count; ++i) {
      if (auto status = writer.appendRow(source.table, source.row(i)); !status) return status;
      ++written.rows;
    }
  }
  if (auto status = writer.finish(); !status) return status;
  summary = written;
  return jet::WriteStatus::Success();
}

}  // namespace tablift
