#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data_access/jet/table_reader.h"
#include "data_access/jet/wire_format.h"

namespace tablift::jet {

// The rows of one open table that the reader process has read but not yet
// sent, kept in their wire form with where each row ends, so that an answer
// can take fewer rows than were read and leave the rest for the next one.
// Reading stops at the row count asked for, at kBatchBytes of rows held or
// after kBatchTime, whichever comes first, so that an answer never keeps the
// provider waiting long nor takes much memory.
class RowsAhead {
 public:
  // What comes after the rows held.
  enum class After {
    More,     // rows not read yet
    End,      // the table's rows have ended
    Damaged,  // a row could not be read (problem())
  };

  // Reads up to `wanted` more rows after those held. Nothing once the table
  // has ended or met damage; a row that meets damage is not kept. Reading
  // also stops, every few rows, when `stop` (if given) says so.
  void read(TableReader& reader, std::uint32_t wanted, const std::function<bool()>& stop = {});

  std::size_t count() const { return ends_.size() - first_; }
  After after() const { return after_; }
  const std::string& problem() const { return problem_; }

  // Appends the first `rows` rows held (at most count()) to `out` and
  // forgets them.
  void take(std::size_t rows, WireWriter& out);

 private:
  std::size_t heldFrom() const { return first_ == 0 ? 0 : ends_[first_ - 1]; }

  std::string bytes_;
  std::vector<std::size_t> ends_;  // where each row ends in bytes_
  std::size_t first_ = 0;          // the first row not taken yet
  After after_ = After::More;
  std::string problem_;
};

}  // namespace tablift::jet
