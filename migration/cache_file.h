#pragma once

#include <string>
#include <string_view>

namespace tablift {

class JobContext;

// The script files the workers keep in the data cache directory: one per
// table (CREATE TABLE, keys, indexes, relationships) and one per view. Names
// are made safe as file names. Each call opens the file, writes and closes it
// again; false when that fails.
bool RewriteCacheFile(const std::string& fileName, std::string_view text);
bool AppendCacheFile(const std::string& fileName, std::string_view text);

// The line a worker writes when an object's cache file cannot be opened.
void WriteCacheFileFailure(JobContext& job);

}  // namespace tablift
