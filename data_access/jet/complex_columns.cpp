#include "data_access/jet/complex_columns.h"

#include <set>

#include "data_access/jet/attachment_data.h"
#include "data_access/jet/sql/text_folding.h"

namespace tablift::jet {
namespace {

constexpr std::int32_t kIdMask = 0x00FFFFFF;

std::optional<std::size_t> ColumnNamed(const TableDefinition& table, const char* name) {
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    if (NamesEqual(table.columns[i].name, name)) return i;
  }
  return std::nullopt;
}

std::int64_t Integer(const Value& value) {
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer;
  return 0;
}

std::string Text(const Value& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  return {};
}

std::optional<std::string> OptionalText(const Value& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  return std::nullopt;
}

std::optional<DateTime> OptionalDate(const Value& value) {
  if (const auto* date = std::get_if<DateTime>(&value)) return *date;
  return std::nullopt;
}

ComplexKind KindOfType(const std::string& typeTable) {
  if (NamesEqual(typeTable, "MSysComplexType_Attachment")) return ComplexKind::Attachment;
  if (typeTable.rfind("MSysComplexTypeVH_", 0) == 0) return ComplexKind::VersionHistory;
  return ComplexKind::MultiValue;
}

}  // namespace

const CatalogObject* ComplexColumns::objectOf(std::int64_t id) const {
  for (const CatalogObject& object : objects_) {
    if ((object.id & kIdMask) == (id & kIdMask) && object.type == kObjectTable) return &object;
  }
  return nullptr;
}

bool ComplexColumns::load(std::string& problem) {
  if (entries_) return true;
  const CatalogObject* system = nullptr;
  for (const CatalogObject& object : objects_) {
    if (object.type == kObjectTable && NamesEqual(object.name, "MSysComplexColumns")) {
      system = &object;
    }
  }
  if (system == nullptr) {
    problem = "the database has complex columns but no MSysComplexColumns";
    return false;
  }
  LoadedTable table;
  if (!load_(*system, true, table, problem)) return false;
  const auto id = ColumnNamed(table.definition, "ComplexID");
  const auto type = ColumnNamed(table.definition, "ComplexTypeObjectID");
  const auto flat = ColumnNamed(table.definition, "FlatTableID");
  const auto conceptual = ColumnNamed(table.definition, "ConceptualTableID");
  const auto name = ColumnNamed(table.definition, "ColumnName");
  if (!id || !type || !flat || !conceptual || !name) {
    problem = "MSysComplexColumns lacks its columns";
    return false;
  }
  std::vector<Entry> entries;
  for (const std::vector<Value>& row : table.rows) {
    entries.push_back(Entry{Integer(row[*id]), Integer(row[*type]), Integer(row[*flat]),
                            Integer(row[*conceptual]), Text(row[*name])});
  }
  entries_ = std::move(entries);
  return true;
}

bool ComplexColumns::flat(const CatalogObject& object, const ColumnDefinition& column, bool rows,
                          Flat& flat, std::string& problem) {
  if (!load(problem)) return false;
  // The column of this table by its name; failing that, by the ComplexID its
  // definition keeps.
  const Entry* entry = nullptr;
  for (const Entry& candidate : *entries_) {
    if ((candidate.conceptualTable & kIdMask) == (object.id & kIdMask) &&
        NamesEqual(candidate.column, column.name)) {
      entry = &candidate;
    }
  }
  for (const Entry& candidate : *entries_) {
    if (entry == nullptr && column.complexId != 0 && candidate.complexId == column.complexId) {
      entry = &candidate;
    }
  }
  const CatalogObject* typeTable = entry == nullptr ? nullptr : objectOf(entry->typeObject);
  const CatalogObject* flatTable = entry == nullptr ? nullptr : objectOf(entry->flatTable);
  if (typeTable == nullptr || flatTable == nullptr) {
    problem = "the complex column '" + column.name + "' has no table of values";
    return false;
  }
  flat.kind = KindOfType(typeTable->name);
  LoadedTable type;
  if (!load_(*typeTable, false, type, problem) || !load_(*flatTable, rows, flat.table, problem)) {
    return false;
  }
  // The type table holds the columns of the values; the flat table adds the
  // parent's key (a Long of no AutoNumber) and a number of its own.
  std::set<std::string> typeColumns;
  for (const ColumnDefinition& typeColumn : type.definition.columns)
    typeColumns.insert(ToLowerText(typeColumn.name));
  const std::vector<ColumnDefinition>& columns = flat.table.definition.columns;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnDefinition& c = columns[i];
    const bool ofType = typeColumns.count(ToLowerText(c.name)) != 0;
    if (!ofType && !flat.key && c.type == JetType::Long && !c.autoNumber) {
      flat.key = i;
    } else if (flat.kind == ComplexKind::VersionHistory && c.type == JetType::DateTime) {
      flat.modified = i;
    } else if (flat.kind == ComplexKind::VersionHistory &&
               (c.type == JetType::Memo || c.type == JetType::Text)) {
      flat.value = i;
    } else if (flat.kind == ComplexKind::MultiValue && ofType) {
      flat.value = i;
    }
  }
  if (!flat.key || (flat.kind != ComplexKind::Attachment && !flat.value)) {
    problem = "the table of values of '" + column.name + "' lacks its columns";
    return false;
  }
  return true;
}

bool ComplexColumns::describe(const CatalogObject& object, TableDefinition& table,
                              std::string& problem) {
  bool all = true;
  for (ColumnDefinition& column : table.columns) {
    if (column.type != JetType::Complex) continue;
    Flat found;
    if (!flat(object, column, false, found, problem)) {
      all = false;
      continue;
    }
    column.complexKind = found.kind;
    if (found.value) {
      const ColumnDefinition& value = found.table.definition.columns[*found.value];
      column.complexValueType = value.type;
      if (found.kind == ComplexKind::VersionHistory) column.versionedColumn = value.name;
    }
  }
  return all;
}

bool ComplexColumns::values(const CatalogObject& object, const ColumnDefinition& column,
                            std::vector<ComplexValue>& values, std::string& problem) {
  values.clear();
  Flat found;
  if (!flat(object, column, true, found, problem)) return false;
  const TableDefinition& definition = found.table.definition;
  const auto named = [&definition](const char* name) { return ColumnNamed(definition, name); };
  const auto fileName = named("FileName");
  const auto fileType = named("FileType");
  const auto fileData = named("FileData");
  const auto fileUrl = named("FileURL");
  const auto fileTimeStamp = named("FileTimeStamp");
  const auto fileFlags = named("FileFlags");
  if (found.kind == ComplexKind::Attachment && (!fileName || !fileData)) {
    problem = "the attachments of '" + column.name + "' lack their columns";
    return false;
  }
  for (const std::vector<Value>& row : found.table.rows) {
    ComplexValue value;
    value.key = Integer(row[*found.key]);
    if (found.value) value.value = row[*found.value];
    if (found.modified) value.modified = OptionalDate(row[*found.modified]);
    if (found.kind == ComplexKind::Attachment) {
      value.fileName = Text(row[*fileName]);
      if (fileType) value.fileType = Text(row[*fileType]);
      if (fileUrl) value.fileUrl = OptionalText(row[*fileUrl]);
      if (fileTimeStamp) value.fileTimeStamp = OptionalDate(row[*fileTimeStamp]);
      if (fileFlags && !IsNull(row[*fileFlags])) value.fileFlags = Integer(row[*fileFlags]);
      if (const auto* data = std::get_if<Bytes>(&row[*fileData])) {
        if (!DecodeAttachmentData(data->data, value.fileData.data, problem)) {
          problem = "attachment '" + value.fileName + "': " + problem;
          return false;
        }
      }
    }
    values.push_back(std::move(value));
  }
  return true;
}

}  // namespace tablift::jet
