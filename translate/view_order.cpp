#include "translate/view_order.h"

#include <algorithm>

#include "access/system_table_rows.h"
#include "data_access/jet/sql/text_folding.h"

namespace tablift {
namespace {

// MSysQueries.Attribute of an element that names an input table or query.
constexpr const char* kInputAttribute = "5";

std::size_t IndexOf(const std::vector<std::string>& views, const std::string& name) {
  for (std::size_t i = 0; i < views.size(); ++i)
    if (jet::NamesEqual(views[i], name)) return i;
  return views.size();
}

// A view that is not placed and that reads, through views not placed, back
// to itself: followed from the first view not placed, the first one met
// twice. Placing it first lets the rest of its circle follow it.
std::size_t OnACircle(const std::vector<std::vector<std::size_t>>& reads,
                      const std::vector<bool>& placed) {
  std::size_t view =
      static_cast<std::size_t>(std::find(placed.begin(), placed.end(), false) - placed.begin());
  std::vector<bool> met(placed.size(), false);
  while (!met[view]) {
    met[view] = true;
    const auto input = std::find_if(reads[view].begin(), reads[view].end(),
                                    [&](std::size_t read) { return !placed[read]; });
    if (input == reads[view].end()) return view;
    view = *input;
  }
  return view;
}

}  // namespace

std::vector<std::string> OrderViewsByInputs(const std::vector<std::string>& views,
                                            const QueryInputs& inputs) {
  // reads[i]: the views that view i reads.
  std::vector<std::vector<std::size_t>> reads(views.size());
  for (const auto& [reader, read] : inputs) {
    const std::size_t from = IndexOf(views, reader);
    const std::size_t to = IndexOf(views, read);
    if (from == views.size() || to == views.size() || from == to) continue;
    if (std::find(reads[from].begin(), reads[from].end(), to) == reads[from].end())
      reads[from].push_back(to);
  }
  std::vector<bool> placed(views.size(), false);
  std::vector<std::string> ordered;
  while (ordered.size() < views.size()) {
    // The first view in the given order whose inputs are all placed.
    std::size_t next = views.size();
    for (std::size_t i = 0; i < views.size() && next == views.size(); ++i) {
      if (placed[i]) continue;
      const bool ready = std::all_of(reads[i].begin(), reads[i].end(),
                                     [&](std::size_t input) { return placed[input]; });
      if (ready) next = i;
    }
    if (next == views.size()) next = OnACircle(reads, placed);
    placed[next] = true;
    ordered.push_back(views[next]);
  }
  return ordered;
}

QueryInputs ReadQueryInputs(Session* session) {
  std::vector<std::vector<std::string>> rows;
  const std::string sql =
      std::string(
          "select O.Name, Q.Name1 from MSysObjects O, MSysQueries Q where O.Id=Q.ObjectId "
          "and Q.Attribute=") +
      kInputAttribute;
  QueryInputs inputs;
  if (!ReadSystemRows(session, sql, {{"Name", 1}, {"Name1", 2}}, rows).empty()) return inputs;
  for (auto& row : rows)
    inputs.emplace_back(std::move(row[0]), std::move(row[1]));
  return inputs;
}

}  // namespace tablift
