#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"
#include "data_access/object_names.h"
#include "data_access/session.h"

namespace tablift {

// The provider calls the layers above make, answering with Status values so
// that result codes stay in this layer. A failure's message is the text the
// log has always shown for it.

// The names of a catalog's objects of one kind. Without a session, or when
// the list cannot be opened, the failure reads `step` followed by the
// provider's description ("Open tables Error: ... failed with error code").
Result<std::vector<std::string>> ObjectNames(Session* session, std::string_view catalog,
                                             ObjectKind kind, std::string_view step);

// Makes the session speak `charset` to its server; the failure carries the
// provider's description.
Status SetClientCharset(Session& session, std::string_view charset);

}  // namespace tablift
