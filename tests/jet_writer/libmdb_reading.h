#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Reads databases back with libmdb the way the Jet provider does, so that the
// writer's tests see what every reader of the project will see.
namespace tablift::jet::test {

struct ReadColumn {
  std::string name;
  int type = 0;  // libmdb's MDB_* type, the Jet type number
  int size = 0;  // bytes in the row (Jet 4 text: two per character)
  int precision = 0;
  int scale = 0;
  bool autoNumber = false;
  // The design properties libmdb found for the column (Required,
  // DefaultValue, Description), by name.
  std::map<std::string, std::string> properties;
  int number = 0;  // col_num: its place in the rows, deleted columns counted
};

struct ReadCell {
  bool null = true;
  std::string text;                 // libmdb's text form (UTF-8); Yes/No: "1" or "0"
  std::vector<std::uint8_t> bytes;  // the stored bytes; long values: their whole content
};

struct ReadTable {
  std::vector<ReadColumn> columns;
  unsigned declaredRows = 0;  // the row count the table definition records
  // The variable-length columns the definition counts as ever made.
  unsigned variableColumns = 0;
  std::vector<std::vector<ReadCell>> rows;
};

struct ReadIndex {
  std::string name;
  int type = 0;   // 1 primary key, 2 foreign key
  int flags = 0;  // 0x01 unique, 0x02 ignore nulls, 0x08 required
  std::vector<std::string> columns;
  std::vector<bool> ascending;
  int rowCount = 0;
};

class LibmdbDatabase {
 public:
  explicit LibmdbDatabase(const std::filesystem::path& path);
  ~LibmdbDatabase();
  LibmdbDatabase(const LibmdbDatabase&) = delete;
  LibmdbDatabase& operator=(const LibmdbDatabase&) = delete;

  bool opened() const { return handle_ != nullptr; }
  int jetVersion() const;
  std::vector<std::string> userTables();
  std::vector<std::string> systemTables();
  std::optional<ReadTable> readTable(const std::string& name);
  std::vector<ReadIndex> readIndexes(const std::string& table);
  // The rows of a table in the order its index pages list them, found with
  // libmdb's own index walker: each row as libmdb's text of its columns.
  std::optional<std::vector<std::vector<std::string>>> walkIndex(const std::string& table,
                                                                 const std::string& index);

 private:
  void* handle_ = nullptr;  // MdbHandle, an unnamed struct in libmdb's header
};

// Runs one of the mdb-* tools; stdout and stderr apart.
struct ToolOutput {
  int exitCode = -1;
  std::string out;
  std::string err;
};
ToolOutput RunMdbTool(const std::string& tool, const std::vector<std::string>& arguments);

}  // namespace tablift::jet::test
