#pragma once

#include <string>

namespace tablift {

// What one row of MSysQueries describes (its Attribute column). Access keeps
// a saved query as such rows, not as SQL text; the text shown in Access's
// SQL view is built from them.
enum QueryAttribute {
  kQueryType = 1,  // Flag: the SavedQueryKind; Name1: an action's target table
  kParameter = 2,  // Name1: the name; Flag: its data type
  kOptions = 3,    // Flag: QueryOption bits; Name1: the TOP value
  kRemoteDatabase = 4,
  kInputTable = 5,    // Name1: the table or query; Name2: its alias
  kOutputColumn = 6,  // Expression; Name1: its alias; Name2: an action's target column
  kJoin = 7,          // Name1, Name2: the joined inputs; Expression: the ON condition
  kCondition = 8,     // WHERE
  kGroupBy = 9,
  kHaving = 10,
  kOrderBy = 11,  // Name1: "D" for descending
};

// The Flag of the kQueryType row.
enum class SavedQueryKind {
  Select = 1,
  MakeTable = 2,
  Append = 3,
  Update = 4,
  Delete = 5,
  Crosstab = 6,
  DataDefinition = 7,
  PassThrough = 8,
  Union = 9,
};

// Bits of the Flag of the kOptions row.
enum QueryOption {
  kAllFields = 0x01,
  kDistinct = 0x02,
  kDistinctRow = 0x08,
  kTop = 0x10,
  kTopPercent = 0x20,
};

// One row of MSysQueries: one element of a saved query.
struct QueryElement {
  int kind = 0;  // QueryAttribute
  std::string expression;
  std::string flag;
  std::string name1;
  std::string name2;
};

}  // namespace tablift
