#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// What the fuzz targets feed to Tablift, one input at a time. The same
// functions replay the inputs that once broke something (fuzz/regressions/)
// in the regular test suite, so a fault that was mended stays mended.
//
// Each function must return for every input: no crash, no read outside a
// buffer, no hang. An input that breaks a promise the code makes (a value
// written to a profile file that does not read back) aborts.
namespace tablift::fuzz {

// The bytes as an Access SQL statement, parsed and run over a few small tables
// held in memory, every row of the result read.
void RunAccessQuery(std::span<const std::uint8_t> input);

// The bytes up to the first NUL as a profile (INI) file; what follows, split
// at further NULs, as a section, a key and a value. The key is read, then the
// value written and read back.
void RunProfileFile(std::span<const std::uint8_t> input);

// The bytes as an .mdb file, opened the way the reader process opens one: the
// header checked, the system catalog read, every table's definition and
// properties checked and described and its first rows read.
void RunAccessFile(std::span<const std::uint8_t> input);

}  // namespace tablift::fuzz
