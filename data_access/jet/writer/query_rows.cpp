#include "data_access/jet/writer/query_rows.h"

namespace tablift::jet {
namespace {

// MSysQueries.Attribute: what a row describes.
enum Attribute : std::int64_t {
  kStart = 0,
  kType = 1,
  kParameter = 2,
  kSelectFlags = 3,
  kTable = 5,
  kColumn = 6,
  kJoin = 7,
  kWhere = 8,
  kGroupBy = 9,
  kHaving = 10,
  kOrderBy = 11,
  kEnd = 255,
};

constexpr std::int64_t kSelectQuery = 1;
constexpr std::int64_t kDistinct = 0x02;

Value TextOrNull(const std::string& text) {
  return text.empty() ? Value{Null{}} : Value{text};
}

// Parameters are typed with DAO's type numbers, which equal Jet's except
// for Decimal.
std::int64_t DaoType(JetType type) {
  return type == JetType::Decimal ? 20 : static_cast<std::int64_t>(type);
}

}  // namespace

std::vector<std::vector<Value>> QueryRows(std::int32_t objectId, const QueryDesign& design) {
  std::vector<std::vector<Value>> rows;
  const auto row = [&](std::int64_t attribute, Value name1, Value name2, Value expression,
                       Value flag) {
    rows.push_back({std::int64_t{objectId}, attribute, Null{}, std::move(name1), std::move(name2),
                    std::move(expression), std::move(flag), Null{}});
  };
  row(kStart, Null{}, Null{}, Null{}, std::int64_t{0});
  row(kType, Null{}, Null{}, Null{}, kSelectQuery);
  for (const QueryParameterDesign& parameter : design.parameters) {
    row(kParameter, parameter.name, Null{}, Null{}, DaoType(parameter.type));
  }
  row(kSelectFlags, Null{}, Null{}, Null{}, design.distinct ? kDistinct : 0);
  for (const QueryTableDesign& table : design.tables) {
    row(kTable, table.name, TextOrNull(table.alias), Null{}, Null{});
  }
  for (const QueryColumnDesign& column : design.columns) {
    row(kColumn, TextOrNull(column.alias), Null{}, column.expression, std::int64_t{0});
  }
  for (const QueryJoinDesign& join : design.joins) {
    row(kJoin, join.leftTable, join.rightTable, join.condition,
        static_cast<std::int64_t>(join.kind));
  }
  if (!design.where.empty()) row(kWhere, Null{}, Null{}, design.where, Null{});
  for (const std::string& group : design.groupBy) {
    row(kGroupBy, Null{}, Null{}, group, std::int64_t{0});
  }
  if (!design.having.empty()) row(kHaving, Null{}, Null{}, design.having, Null{});
  for (const QueryOrderDesign& order : design.orderBy) {
    // A descending order is marked "D".
    row(kOrderBy, order.descending ? Value{std::string("D")} : Value{Null{}}, Null{},
        order.expression, Null{});
  }
  row(kEnd, Null{}, Null{}, Null{}, Null{});
  return rows;
}

}  // namespace tablift::jet
