#pragma once

#include <memory>
#include <string>

#include "data_access/jet/file_header.h"
#include "data_access/jet/office_encryption.h"

namespace tablift::jet {

// The pages of an encrypted ACE file, decrypted into anonymous memory (a
// memfd, never a file on disk) for libmdb to read in place of the file. Its
// header keeps the database key zero, so that libmdb takes the pages as they
// are.
class DecryptedImage {
 public:
  static std::unique_ptr<DecryptedImage> create(const std::string& path, const FileHeader& header,
                                                PageDecryptor& decryptor, std::string& problem);
  ~DecryptedImage();
  DecryptedImage(const DecryptedImage&) = delete;
  DecryptedImage& operator=(const DecryptedImage&) = delete;

  // The descriptor of the memory (close-on-exec); owned by this object.
  int descriptor() const { return descriptor_; }

 private:
  explicit DecryptedImage(int descriptor) : descriptor_(descriptor) {}
  int descriptor_;
};

}  // namespace tablift::jet
