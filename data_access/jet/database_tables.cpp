#include "data_access/jet/database_tables.h"

#include <optional>

#include "data_access/error_info.h"
#include "data_access/jet/column_types.h"
#include "data_access/jet/saved_query_sql.h"

namespace tablift::jet {
namespace {

class DatabaseRowCursor : public RowCursor {
 public:
  DatabaseRowCursor(std::shared_ptr<JetDatabase> database, JetDatabase::RowsHandle handle)
      : database_(std::move(database)), handle_(handle) {}
  ~DatabaseRowCursor() override { database_->closeRows(handle_); }

  HResult next(std::vector<Value>& row) override {
    while (next_ >= batch_.size()) {
      if (end_) return DB_S_ENDOFROWSET;
      next_ = 0;
      const HResult result = database_->fetchRows(handle_, kRowsPerFetch, batch_, end_);
      if (Failed(result)) {
        batch_.clear();
        end_ = true;
        return result;
      }
    }
    // The caller's previous row goes back into the batch, where the next
    // fetch decodes into its memory.
    row.swap(batch_[next_++]);
    return S_OK;
  }

 private:
  std::shared_ptr<JetDatabase> database_;
  JetDatabase::RowsHandle handle_;
  std::vector<std::vector<Value>> batch_;
  std::size_t next_ = 0;
  bool end_ = false;
};

class DatabaseTable : public TableSource {
 public:
  DatabaseTable(std::shared_ptr<JetDatabase> database, std::string name,
                std::vector<SourceColumn> columns, std::optional<ErrorObject> damage)
      : database_(std::move(database)),
        name_(std::move(name)),
        columns_(std::move(columns)),
        damage_(std::move(damage)) {}

  const std::string& name() const override { return name_; }
  const std::vector<SourceColumn>& columns() const override { return columns_; }

  HResult open(std::unique_ptr<RowCursor>& cursor) override {
    cursor.reset();
    if (damage_) {
      SetThreadErrorObject(*damage_);
      return E_FAIL;
    }
    JetDatabase::RowsHandle handle;
    const HResult result = database_->openRows(name_, handle);
    if (Failed(result)) return result;
    cursor = std::make_unique<DatabaseRowCursor>(database_, handle);
    return S_OK;
  }

 private:
  std::shared_ptr<JetDatabase> database_;
  std::string name_;
  std::vector<SourceColumn> columns_;
  std::optional<ErrorObject> damage_;
};

}  // namespace

std::unique_ptr<TableSource> DatabaseTables::table(const std::string& name) {
  TableDefinition definition;
  const HResult result = database_->describeTable(name, definition);
  if (result == DB_E_NOTABLE) return nullptr;
  if (Failed(result)) {
    return std::make_unique<DatabaseTable>(database_, name, std::vector<SourceColumn>{},
                                           TakeThreadErrorObject());
  }
  std::vector<SourceColumn> columns;
  columns.reserve(definition.columns.size());
  for (const ColumnDefinition& column : definition.columns) {
    SourceColumn source;
    source.name = column.name;
    source.type = column.type;
    source.size = DeclaredLength(column, database_->version());
    source.precision = column.precision;
    source.scale = column.scale;
    columns.push_back(std::move(source));
  }
  return std::make_unique<DatabaseTable>(database_, definition.name, std::move(columns),
                                         std::nullopt);
}

std::optional<std::string> DatabaseTables::savedQuerySql(const std::string& name) {
  std::vector<QueryElement> elements;
  if (Failed(ReadQueryElements(*database_, name, elements)) || elements.empty())
    return std::nullopt;
  return SavedQuerySql(elements);
}

}  // namespace tablift::jet
