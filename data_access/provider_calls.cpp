#include "data_access/provider_calls.h"

#include "data_access/error_texts.h"

namespace tablift {

Result<std::vector<std::string>> ObjectNames(Session* session, std::string_view catalog,
                                             ObjectKind kind, std::string_view step) {
  std::vector<std::string> names;
  const HResult opened =
      session == nullptr ? E_FAIL : ListObjectNames(*session, catalog, kind, names);
  if (Failed(opened)) return Status::Failure(DescribeStepFailure(opened, step));
  return names;
}

Status SetClientCharset(Session& session, std::string_view charset) {
  if (Succeeded(session.setClientCharset(charset))) return Status::Ok();
  return Status::Failure(DescribeOleDbError(&session, InterfaceId::ICommandPrepare));
}

}  // namespace tablift
