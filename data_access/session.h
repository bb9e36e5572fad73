#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "data_access/data_source.h"
#include "data_access/provider.h"
#include "data_access/result_codes.h"

namespace tablift {

// A session on an open data source; empty when not open. One session may be
// used by the user-interface thread and by the controller thread, one at a
// time: every command makes its own statement handle.
class Session : public ErrorInfoSupport {
 public:
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Any failure leaves the session empty.
  HResult open(DataSource& dataSource);
  void close();

  bool isOpen() const { return object_ != nullptr; }
  const std::shared_ptr<ProviderSession>& provider() const { return object_; }

  // The character set of the connection (a MySQL name, "latin1" right after a
  // MySQL connect). Statement text is converted from UTF-8 to it and results
  // back; a character it cannot hold fails the statement with a message naming
  // the character. Changing it also switches the server side (the client,
  // connection and results character sets, as "SET NAMES" would).
  // Empty when the session is not open.
  std::string clientCharset() const;
  HResult setClientCharset(std::string_view name);

  HResult InterfaceSupportsErrorInfo(InterfaceId iid) const override;

 private:
  std::shared_ptr<ProviderSession> object_;
};

}  // namespace tablift
