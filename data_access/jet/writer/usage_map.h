#pragma once

#include "data_access/jet/writer/little_endian.h"
#include "data_access/jet/writer/page_file.h"
#include "data_access/jet/writer/page_set.h"
#include "data_access/jet/writer/write_status.h"

namespace tablift::jet {

// The usage map row that lists `pages`: an inline map (type 0: start page and
// a 64-byte bitmap) when they lie within 512 pages of each other, else a
// reference map (type 1) whose bitmap pages (type 0x05) are allocated and
// written here.
WriteStatus BuildUsageMapRow(const PageSet& pages, PageFile& file, ByteVector& row);

// The database-wide map of free pages kept on page 1. A new file has no free
// page inside it; like the engine, the map marks every page from the end of
// the file to the end of its reach as free. Call it after every other page
// has been allocated.
WriteStatus BuildFreePageMapRow(PageFile& file, ByteVector& row);

}  // namespace tablift::jet
