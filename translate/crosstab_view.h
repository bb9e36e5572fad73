#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/status.h"
#include "data_access/jet/query_elements.h"
#include "translate/access_expression.h"
#include "translate/view_definition.h"

namespace tablift {

// The values a statement's first column takes, in their order (a NULL as
// nullopt), read where the migrated tables are; or why they cannot be read.
using HeadingReader =
    std::function<Result<std::vector<std::optional<std::string>>>(const std::string& sql)>;

// A crosstab query as a view, and where its column headings came from.
struct CrosstabView {
  std::string statement;  // CREATE VIEW
  std::vector<std::string> headings;
  bool headingsRead = false;  // read with the HeadingReader, not from the query
};

// The CREATE VIEW of a crosstab query by conditional aggregation: the row
// headings (grouped), then one column per column heading value v,
// Agg(CASE WHEN <pivot> = 'v' THEN <value> END) AS `v`. The headings are
// those of the query's In (...) list; without one, the distinct values of the
// pivot expression, which `readHeadings` reads from the migrated tables (a
// NULL heading is the column Access names "<>"). Conditions that hold an
// aggregate go to HAVING. Fails with the reason.
Result<CrosstabView> ComposeCrosstabView(const std::string& viewName,
                                         const std::vector<QueryElement>& elements,
                                         const NameMapping& names, const ColumnLister& columnsOf,
                                         const HeadingReader& readHeadings);

}  // namespace tablift
