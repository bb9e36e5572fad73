#include "translate/access_top.h"

namespace tablift {
namespace {

std::string Rows(const SelectClauses& c) {
  std::string text = " FROM " + c.from;
  if (!c.where.empty()) text += " WHERE " + c.where;
  if (!c.groupBy.empty()) text += " GROUP BY " + c.groupBy;
  if (!c.having.empty()) text += " HAVING " + c.having;
  return text;
}

}  // namespace

std::string TopWithTiesCondition(const SelectClauses& clauses, const std::vector<SortKey>& keys,
                                 unsigned long count) {
  const std::string rows = Rows(clauses);
  std::string order;
  for (const SortKey& key : keys)
    order += (order.empty() ? "" : ", ") + key.sql + (key.descending ? " DESC" : "");
  // Each key's value in the count-th row: no row when there are fewer.
  std::vector<std::string> last;
  for (const SortKey& key : keys)
    last.push_back("(SELECT " + key.sql + rows + " ORDER BY " + order + " LIMIT " +
                   std::to_string(count - 1) + ", 1)");
  // A row sorts after that one when its keys are equal up to one that
  // comes later; every comparison is true or false, Nulls included.
  std::string after;
  std::string equalSoFar;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::string& k = keys[i].sql;
    const std::string& v = last[i];
    const std::string later =
        keys[i].descending
            ? "(" + v + " IS NOT NULL AND (" + k + " IS NULL OR " + k + " < " + v + "))"
            : "(" + k + " IS NOT NULL AND (" + v + " IS NULL OR " + k + " > " + v + "))";
    after += (after.empty() ? "" : " OR ") +
             (equalSoFar.empty() ? later : "(" + equalSoFar + " AND " + later + ")");
    equalSoFar += (equalSoFar.empty() ? "" : " AND ") + ("(" + k + ") <=> " + v);
  }
  return "(NOT (" + after + ") OR (SELECT COUNT(*) FROM (SELECT 1" + rows + ") AS `top rows`) < " +
         std::to_string(count) + ")";
}

}  // namespace tablift
