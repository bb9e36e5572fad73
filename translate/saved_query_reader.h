#pragma once

#include <string>
#include <vector>

#include "core/status.h"
#include "data_access/jet/query_elements.h"

namespace tablift {

class Session;
class JobContext;

// The elements of the saved query `query`, read from MSysObjects and
// MSysQueries by column name (Jet 3 files keep MSysQueries' columns in
// another order); none when there is no such query. Fails with
// " view :[Microsoft][<targetProvider>] NO PERMISSION!\n" (after a "T::"
// line with the provider's text) when the system tables cannot be read.
Result<std::vector<QueryElement>> ReadQueryElements(JobContext& job, Session* session,
                                                    const std::string& targetProvider,
                                                    const std::string& query);

// The kind of the saved query the elements describe: the Flag of its
// kQueryType element, Select when it has none or an unknown one.
SavedQueryKind QueryKindOf(const std::vector<QueryElement>& elements);

// The columns of a table of the source in their order; empty when unknown.
std::vector<std::string> SourceTableColumns(Session* session, const std::string& table);

// The names of the columns a saved query gives, from its elements; none
// when they are not all known (all fields, a star, an unnamed expression).
std::vector<std::string> QueryOutputNames(const std::vector<QueryElement>& elements);

// The columns of a table of the source, or else those a saved query of the
// source gives (QueryOutputNames); empty when unknown.
std::vector<std::string> SourceColumns(Session* session, const std::string& name);

}  // namespace tablift
