#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tablift {

class Session;

// Which saved query reads which table or saved query: (reader, read) pairs.
using QueryInputs = std::vector<std::pair<std::string, std::string>>;

// The views in an order in which every view comes after the views it reads,
// so that MySQL finds each one it names when the next is created. Otherwise
// the given order is kept; views that read each other in a circle keep it
// among themselves. Names are compared as Access compares them.
std::vector<std::string> OrderViewsByInputs(const std::vector<std::string>& views,
                                            const QueryInputs& inputs);

// The tables and saved queries each saved query of the source reads, from
// MSysQueries; none when the system tables cannot be read (the views are
// then tried in the catalog's order).
QueryInputs ReadQueryInputs(Session* session);

}  // namespace tablift
