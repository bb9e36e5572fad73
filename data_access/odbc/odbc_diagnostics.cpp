#include "data_access/odbc/odbc_diagnostics.h"

#include <dlfcn.h>
#include <link.h>
#include <algorithm>

#include <cstring>
#include <utility>
#include <vector>

#include "data_access/error_info.h"
#include "data_access/secret_masking.h"

namespace tablift::odbc {

SQLHENV Environment() {
  static const SQLHENV environment = []() -> SQLHENV {
    SQLHENV handle = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle))) {
      return SQL_NULL_HENV;
    }
    SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    return handle;
  }();
  return environment;
}

namespace {

using DiagRecFunction = SQLRETURN (*)(SQLSMALLINT, SQLHANDLE, SQLSMALLINT, SQLCHAR*, SQLINTEGER*,
                                      SQLCHAR*, SQLSMALLINT, SQLSMALLINT*);

// The loaded driver library whose file name the driver reports.
std::string LoadedLibraryPath(const std::string& fileName) {
  struct Search {
    const std::string* name;
    std::string path;
  } search{&fileName, {}};
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* data) {
        auto* wanted = static_cast<Search*>(data);
        const char* slash =
            info->dlpi_name != nullptr ? std::strrchr(info->dlpi_name, '/') : nullptr;
        if (slash != nullptr && *wanted->name == slash + 1) wanted->path = info->dlpi_name;
        return 0;
      },
      &search);
  return search.path;
}

std::string MessageText(const std::vector<SQLCHAR>& message, SQLSMALLINT length,
                        const TextEncoding& encoding) {
  const std::string_view raw(
      reinterpret_cast<const char*>(message.data()),
      std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)),
                            message.size() - 1));
  std::string text;
  std::string error;
  // A message that does not decode is kept as the driver gave it rather than
  // lost.
  if (!encoding.decode(raw, text, error)) text.assign(raw);
  return text;
}

}  // namespace

std::vector<ErrorRecord> ReadDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle,
                                         const TextEncoding& encoding) {
  std::vector<ErrorRecord> records;
  for (SQLSMALLINT number = 1;; ++number) {
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    std::vector<SQLCHAR> message(1024);
    SQLRETURN rc = SQLGetDiagRec(handleType, handle, number, state, &native, message.data(),
                                 static_cast<SQLSMALLINT>(message.size()), &length);
    if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
      message.resize(static_cast<std::size_t>(length) + 1);
      rc = SQLGetDiagRec(handleType, handle, number, state, &native, message.data(),
                         static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (!SQL_SUCCEEDED(rc)) break;
    records.push_back(
        ErrorRecord{MessageText(message, length, encoding), kProviderSource, {}, {}, 0});
  }
  return records;
}

std::vector<ErrorRecord> ReadDriverDiagnostics(SQLHDBC connection, SQLHSTMT statement,
                                               const TextEncoding& encoding) {
  std::vector<ErrorRecord> records;
  SQLHSTMT driverStatement = statement;
  char driverName[256] = {};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(connection, SQL_DRIVER_HSTMT, &driverStatement,
                                sizeof driverStatement, &length)) ||
      !SQL_SUCCEEDED(
          SQLGetInfo(connection, SQL_DRIVER_NAME, driverName, sizeof driverName, &length))) {
    return records;
  }
  const std::string path = LoadedLibraryPath(driverName);
  if (path.empty()) return records;
  void* library = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (library == nullptr) return records;
  const auto diagRec = reinterpret_cast<DiagRecFunction>(dlsym(library, "SQLGetDiagRec"));
  for (SQLSMALLINT number = 1; diagRec != nullptr; ++number) {
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    std::vector<SQLCHAR> message(2048);
    if (!SQL_SUCCEEDED(diagRec(SQL_HANDLE_STMT, driverStatement, number, state, &native,
                               message.data(), static_cast<SQLSMALLINT>(message.size()),
                               &length))) {
      break;
    }
    records.push_back(
        ErrorRecord{MessageText(message, length, encoding), kProviderSource, {}, {}, 0});
  }
  dlclose(library);
  return records;
}

void PostRecords(std::vector<ErrorRecord> records, std::string_view fallback) {
  ErrorObject object;
  object.records.emplace();
  for (ErrorRecord& record : records) {
    // Drivers quote connection strings in their messages now and then.
    record.description = MaskPasswords(record.description);
    object.records->emplace_back(std::move(record));
  }
  if (object.records->empty()) {
    object.records->emplace_back(ErrorRecord{std::string(fallback), kProviderSource, {}, {}, 0});
  }
  object.own = *object.records->front();
  SetThreadErrorObject(std::move(object));
}

void PostDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle, const TextEncoding& encoding,
                     std::string_view fallback) {
  PostRecords(ReadDiagnostics(handleType, handle, encoding), fallback);
}

void PostProviderError(std::string description) {
  PostError(std::move(description), kProviderSource);
}

}  // namespace tablift::odbc
