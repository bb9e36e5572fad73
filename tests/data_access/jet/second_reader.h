#pragma once

#include <string>

#include "data_access/session.h"

// The npm package mdb-reader, a reader written independently of libmdb (it
// also opens encrypted files). It is looked for under TABLIFT_NODE_MODULES
// (scripts/install-test-readers puts it into the build directory); the
// comparisons skip when it or node is not there.
namespace tablift::test {

// Every value of a table as the provider reads it against mdb-reader: text,
// whole numbers (64-bit ones too), dates, binary; real numbers by value.
void ExpectSameAsSecondReader(Session& session, const std::string& path,
                              const std::string& password, const std::string& table);

}  // namespace tablift::test
