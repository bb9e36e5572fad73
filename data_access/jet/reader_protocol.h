#pragma once

#include <cstdint>
#include <vector>

#include "data_access/jet/table_definition.h"
#include "data_access/jet/wire_format.h"

// The conversation between the provider and its reader process. Each request
// gets exactly one answer: a status byte, then either a message (not found,
// failed) or the request's result.
//
//   ListObjects                      -> objects
//   DescribeTable  name              -> table definition
//   OpenRows       name              -> cursor number
//   FetchRows      cursor, at most n -> end flag, rows (values in column order)
//   CloseRows      cursor            -> nothing
//   ComplexValues  table, column     -> the column's values with their keys
namespace tablift::jet {

enum class RequestKind : std::uint8_t {
  ListObjects = 1,
  DescribeTable = 2,
  OpenRows = 3,
  FetchRows = 4,
  CloseRows = 5,
  ComplexValues = 6,
};

enum class ReplyStatus : std::uint8_t {
  Ok = 0,
  NotFound = 1,
  Failed = 2,  // a structure of the file could not be read
};

void WriteCatalogObjects(WireWriter& out, const std::vector<CatalogObject>& objects);
bool ReadCatalogObjects(WireReader& in, std::vector<CatalogObject>& objects);

void WriteTableDefinition(WireWriter& out, const TableDefinition& table);
bool ReadTableDefinition(WireReader& in, TableDefinition& table);

void WriteComplexValues(WireWriter& out, const std::vector<ComplexValue>& values);
bool ReadComplexValues(WireReader& in, std::vector<ComplexValue>& values);

}  // namespace tablift::jet
