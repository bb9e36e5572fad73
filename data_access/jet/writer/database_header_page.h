#pragma once

#include "data_access/jet/writer/little_endian.h"

namespace tablift::jet {

// What page 0 of a new Jet 4 database records about it.
struct DatabaseHeaderFields {
  double created = 0;  // Access date (days since 1899-12-30)
  // The database password as UTF-16LE, at most 20 characters (40 bytes);
  // empty for none.
  ByteVector password;
};

// The 4096 bytes of page 0: signature, Jet version, and the RC4-hidden block
// with code page, sort order, creation date and the masked password.
ByteVector BuildDatabaseHeaderPage(const DatabaseHeaderFields& fields);

}  // namespace tablift::jet
