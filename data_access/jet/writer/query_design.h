#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data_access/jet/jet_value.h"

namespace tablift::jet {

// A saved select query as Access's query designer keeps it: its parts, with
// expressions in Access SQL.
struct QueryTableDesign {
  std::string name;   // a table or another query
  std::string alias;  // empty for none
};

struct QueryColumnDesign {
  std::string expression;  // "Orders.OrderId", "Sum([Quantity])", "Customers.*"
  std::string alias;       // the AS name; empty for none
};

enum class QueryJoinKind : std::int16_t { Inner = 1, Left = 2, Right = 3 };

struct QueryJoinDesign {
  std::string leftTable;  // names or aliases of tables of the query
  std::string rightTable;
  std::string condition;  // "Orders.CustomerId = Customers.CustomerId"
  QueryJoinKind kind = QueryJoinKind::Inner;
};

struct QueryOrderDesign {
  std::string expression;
  bool descending = false;
};

struct QueryParameterDesign {
  std::string name;
  JetType type = JetType::Text;
};

struct QueryDesign {
  std::string name;
  bool distinct = false;
  std::vector<QueryParameterDesign> parameters = {};
  std::vector<QueryTableDesign> tables = {};
  std::vector<QueryColumnDesign> columns = {};
  std::vector<QueryJoinDesign> joins = {};
  std::string where = {};
  std::vector<std::string> groupBy = {};
  std::string having = {};
  std::vector<QueryOrderDesign> orderBy = {};
};

}  // namespace tablift::jet
