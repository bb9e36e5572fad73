#include "data_access/jet/decrypted_image.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <openssl/crypto.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

namespace tablift::jet {
namespace {

constexpr std::size_t kDatabaseKeyOffset = 0x3E;

bool WriteAll(int descriptor, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(descriptor, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

std::unique_ptr<DecryptedImage> DecryptedImage::create(const std::string& path,
                                                       const FileHeader& header,
                                                       PageDecryptor& decryptor,
                                                       std::string& problem) {
  const int descriptor = ::memfd_create("tablift-decrypted", MFD_CLOEXEC);
  if (descriptor < 0) {
    problem = std::string("no memory for the decrypted pages: ") + std::strerror(errno);
    return nullptr;
  }
  std::unique_ptr<DecryptedImage> image(new DecryptedImage(descriptor));
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    problem = "the file cannot be read";
    return nullptr;
  }
  std::vector<std::uint8_t> page(header.pageSize);
  for (std::uint32_t number = 0;; ++number) {
    file.read(reinterpret_cast<char*>(page.data()), static_cast<std::streamsize>(page.size()));
    const auto read = static_cast<std::size_t>(file.gcount());
    if (read == 0) break;
    if (number == 0) {
      // The header stores the key scrambled by a key stream: XORing the key's
      // own bytes into the stored ones leaves the stream, a zero key.
      for (std::size_t i = 0; i < header.encodingKey.size(); ++i)
        page[kDatabaseKeyOffset + i] ^= header.encodingKey[i];
    } else if (read == page.size() && !decryptor.decrypt(number, page)) {
      problem = "page " + std::to_string(number) + " cannot be decrypted";
      return nullptr;
    }
    const bool written = WriteAll(descriptor, page.data(), read);
    OPENSSL_cleanse(page.data(), page.size());
    if (!written) {
      problem = std::string("no memory for the decrypted pages: ") + std::strerror(errno);
      return nullptr;
    }
    if (read < page.size()) break;
  }
  return image;
}

DecryptedImage::~DecryptedImage() {
  ::close(descriptor_);
}

}  // namespace tablift::jet
