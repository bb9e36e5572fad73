#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// The files of an Attachment column as mdb-reader decodes them, with the
// value of another column of their row (the parent's key) as text. Nothing
// when mdb-reader or node is not installed.
struct SecondReaderAttachment {
  std::string row;
  std::string name;
  std::string type;
  std::vector<std::uint8_t> data;
};
std::optional<std::vector<SecondReaderAttachment>> AttachmentsBySecondReader(
    const std::string& path, const std::string& table, const std::string& rowColumn,
    const std::string& column);

}  // namespace tablift::test
