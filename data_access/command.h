#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "data_access/error_info.h"
#include "data_access/property_set.h"
#include "data_access/provider.h"
#include "data_access/result_codes.h"
#include "data_access/rowset.h"
#include "data_access/session.h"
#include "data_access/text_accessor.h"

namespace tablift {

// One statement on a session, with the rowset its execution produced. Declare
// it where it is used: it lives for one statement.
class Command : public ErrorInfoSupport {
 public:
  Command() = default;
  ~Command() override;
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;

  // Releases any previous command, makes a new one on the session and sets
  // its text (UTF-8; the provider converts it to the connection's character
  // set when it runs).
  HResult create(Session& session, std::string_view text);
  // Runs the command. The rowset properties (DBPROPSET_ROWSET) are given to
  // the provider first; their failure is returned at once. `rowsAffected` may
  // be null. When a rowset came back it is held in rowset(); with `bind` it is
  // also bound to textAccessor(). A positive information code is possible and
  // callers decide what it means (RunTextQuery counts it as a failure).
  HResult open(const PropertySet* rowsetProperties, std::int64_t* rowsAffected = nullptr,
               bool bind = false);
  // Releases the accessor, the rowset and the command, in that order.
  void close();

  Rowset& rowset() { return rowset_; }
  TextAccessor& textAccessor() { return accessor_; }

  // S_OK: a failed create or open has left an error object on this thread
  // (even when the session could not make a command at all).
  HResult InterfaceSupportsErrorInfo(InterfaceId iid) const override;

 private:
  std::unique_ptr<ProviderCommand> object_;
  Rowset rowset_;
  TextAccessor accessor_;
};

}  // namespace tablift
