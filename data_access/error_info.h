#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data_access/result_codes.h"

namespace tablift {

// The interfaces of the data access objects whose calls can fail; callers name
// the one they called when they ask for the error text.
enum class InterfaceId {
  IDBInitialize,
  IDBProperties,
  IDBCreateSession,
  IDBCreateCommand,
  ICommand,
  ICommandText,
  ICommandPrepare,
  ICommandProperties,
  IColumnsInfo,
  IRowset,
  IAccessor,
  IDBSchemaRowset,
  IOpenRowset,
};

// What one error record tells about a failure.
struct ErrorRecord {
  std::string description;
  std::string source;
  std::string guid;  // the interface's GUID in registry form, "{...}"; may be empty
  std::string help_file;
  std::uint32_t help_context = 0;
};

// The error object a provider leaves on the failing thread. Like its COM
// counterpart it answers for itself, and may in addition offer a list of
// records. A record that exists but cannot be read is an empty optional, so the
// record count stays what the provider reported.
struct ErrorObject {
  ErrorRecord own;
  // No value: the object offers no record list and serves as its own record.
  std::optional<std::vector<std::optional<ErrorRecord>>> records;
};

// The calling thread's current error object. Setting replaces any earlier one;
// taking hands it over and clears it, so each failure is reported once.
void SetThreadErrorObject(ErrorObject object);
void ClearThreadErrorObject();
std::optional<ErrorObject> TakeThreadErrorObject();

// What providers call when an operation fails: leaves an error object with one
// record holding the description and the source (the provider's name).
void PostError(std::string description, std::string source);

// Implemented by data access objects (data sources, commands, rowsets) to say
// whether a failed call on the named interface left an error object.
class ErrorInfoSupport {
 public:
  virtual ~ErrorInfoSupport();
  // S_OK when it did, S_FALSE when it did not, a failure code when the object
  // cannot tell.
  virtual HResult InterfaceSupportsErrorInfo(InterfaceId iid) const = 0;
};

}  // namespace tablift
