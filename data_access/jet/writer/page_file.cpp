#include "data_access/jet/writer/page_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "data_access/jet/writer/jet4_page_format.h"

namespace tablift::jet {
namespace {

std::string SystemError(int error) {
  return std::strerror(error);
}

}  // namespace

PageFile::~PageFile() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

WriteStatus PageFile::create(const std::filesystem::path& path) {
  if (descriptor_ >= 0) {
    return WriteStatus::Failure(WriteError::WrongState, "A database file is already open");
  }
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH);
  if (descriptor < 0) {
    const int error = errno;
    if (error == EEXIST) {
      return WriteStatus::Failure(WriteError::FileExists,
                                  "The file already exists: " + path.string());
    }
    return WriteStatus::Failure(WriteError::CannotCreateFile,
                                "Cannot create " + path.string() + ": " + SystemError(error));
  }
  descriptor_ = descriptor;
  path_ = path;
  pageCount_ = 0;
  return WriteStatus::Success();
}

WriteStatus PageFile::allocate(std::uint32_t& page) {
  return allocateRun(1, page);
}

WriteStatus PageFile::allocateRun(std::uint32_t count, std::uint32_t& firstPage) {
  if (count > jet4::kMaxPages || pageCount_ > jet4::kMaxPages - count) {
    return WriteStatus::Failure(WriteError::DatabaseTooLarge,
                                "The database would exceed the Jet 4 limit of 2 GB");
  }
  firstPage = pageCount_;
  pageCount_ += count;
  return WriteStatus::Success();
}

WriteStatus PageFile::write(std::uint32_t page, const ByteVector& bytes) {
  if (descriptor_ < 0) {
    return WriteStatus::Failure(WriteError::WrongState, "No database file is open");
  }
  if (page >= pageCount_ || bytes.size() != jet4::kPageSize) {
    return WriteStatus::Failure(WriteError::WrongState,
                                "Page " + std::to_string(page) + " was never allocated");
  }
  const auto offset = static_cast<off_t>(page) * static_cast<off_t>(jet4::kPageSize);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::pwrite(descriptor_, bytes.data() + done, bytes.size() - done,
                                     offset + static_cast<off_t>(done));
    if (written < 0) {
      if (errno == EINTR) continue;
      return WriteStatus::Failure(WriteError::OutputFailed,
                                  "Cannot write " + path_.string() + ": " + SystemError(errno));
    }
    done += static_cast<std::size_t>(written);
  }
  return WriteStatus::Success();
}

WriteStatus PageFile::close() {
  if (descriptor_ < 0) return WriteStatus::Success();
  const int descriptor = descriptor_;
  descriptor_ = -1;
  // Every allocated page belongs to the file, even one that holds nothing.
  const auto length = static_cast<off_t>(pageCount_) * static_cast<off_t>(jet4::kPageSize);
  if (::ftruncate(descriptor, length) != 0) {
    const int error = errno;
    ::close(descriptor);
    return WriteStatus::Failure(WriteError::OutputFailed,
                                "Cannot complete " + path_.string() + ": " + SystemError(error));
  }
  const bool synced = ::fsync(descriptor) == 0;
  const int syncError = errno;
  const bool closed = ::close(descriptor) == 0;
  if (!synced || !closed) {
    return WriteStatus::Failure(
        WriteError::OutputFailed,
        "Cannot complete " + path_.string() + ": " + SystemError(synced ? errno : syncError));
  }
  return WriteStatus::Success();
}

void PageFile::discard() {
  if (descriptor_ >= 0) {
    ::close(descriptor_);
    descriptor_ = -1;
  }
  if (!path_.empty()) {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
    path_.clear();
  }
}

}  // namespace tablift::jet
