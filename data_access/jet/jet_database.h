#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "data_access/jet/decrypted_image.h"
#include "data_access/jet/file_header.h"
#include "data_access/jet/jet_value.h"
#include "data_access/jet/reader_process.h"
#include "data_access/jet/table_definition.h"
#include "data_access/result_codes.h"

namespace tablift::jet {

// One open .mdb or .accdb file, shared by the data source, its sessions, commands and
// rowsets (and usable from the user-interface and controller threads alike).
// Everything is read through a reader process (see reader_process.h); when
// one dies on a damaged structure, the call that met it fails with the Jet
// engine's "needs to be repaired" message and the next call starts a new one.
// Failures leave an error object (PostJetError) and return a failure code.
class JetDatabase {
 public:
  // Checks the file (found, a Jet or ACE database, the password) and starts
  // its reader. `password` is compared with the database password, as Jet
  // does, with regard to case; a database without one takes any. An
  // encrypted ACE file is decrypted with it into memory, and a password that
  // does not unlock it is refused with Access's "Not a valid password.".
  static HResult open(const std::string& path, const std::string& password,
                      std::shared_ptr<JetDatabase>& database);
  ~JetDatabase();

  const std::string& path() const { return path_; }
  JetVersion version() const { return header_.version; }
  FileFormat format() const { return header_.format; }

  // The rows of MSysObjects (read once).
  HResult objects(std::vector<CatalogObject>& objects);
  // A table or system table, its name compared without regard to case.
  // DB_E_NOTABLE when there is none. Besides the types and properties, each
  // column says whether it is calculated (and its expression), a hyperlink,
  // rich text, compressed or append-only text, and for a complex column its
  // kind; the indexes leave out the hidden ones of complex columns.
  HResult describeTable(const std::string& name, TableDefinition& table);

  // The values of a complex column (Attachment, multi-value, version
  // history) of a table, for every parent row: each carries the key that the
  // parent row holds in the column. DB_E_NOTABLE when there is no such table
  // or complex column.
  HResult complexValues(const std::string& table, const std::string& column,
                        std::vector<ComplexValue>& values);
  // Those of one parent row: the key is the row's value in the column. The
  // column's values are read once and kept until another column is asked
  // for, so that asking row after row reads the hidden table once.
  HResult complexValues(const std::string& table, const std::string& column, std::int64_t key,
                        std::vector<ComplexValue>& values);

  // Reading a table's rows: a handle, then batches of rows in the table's
  // column order, then closing the handle.
  struct RowsHandle {
    std::uint64_t reader = 0;  // which reader process the cursor lives in
    std::uint32_t cursor = 0;
  };
  HResult openRows(const std::string& name, RowsHandle& handle);
  HResult fetchRows(const RowsHandle& handle, std::uint32_t wanted,
                    std::vector<std::vector<Value>>& rows, bool& end);
  void closeRows(const RowsHandle& handle);

 private:
  JetDatabase(std::string path, FileHeader header)
      : path_(std::move(path)), header_(std::move(header)) {}
  HResult decrypt(const std::string& password);
  int imageDescriptor() const { return image_ ? image_->descriptor() : -1; }

  // Sends a request to the reader (starting one if none runs) and checks the
  // answer's status; after S_OK the result follows the status byte.
  // `anotherReaderWillDo`: the request depends on no cursor of the reader.
  HResult ask(const std::string& request, std::string& answer, std::string_view subject,
              bool anotherReaderWillDo);
  // One request and its answer; a reader that failed is dropped.
  bool exchange(const std::string& request, std::string& answer, std::string& problem);
  HResult ensureReader(std::string& problem);
  HResult damaged(const std::string& detail);

  std::string path_;
  FileHeader header_;
  std::unique_ptr<DecryptedImage> image_;  // an encrypted file's pages
  std::mutex mutex_;
  std::unique_ptr<ReaderProcess> reader_;
  std::uint64_t readerGeneration_ = 0;
  std::optional<std::vector<CatalogObject>> objects_;
  std::map<std::string, TableDefinition> tables_;  // by lower-case name
  // The cursor whose next rows the reader is reading ahead (0: none), and
  // why the reader was lost while it did, for that cursor's next fetch.
  std::uint32_t readingAhead_ = 0;
  struct LostReadAhead {
    std::uint64_t reader = 0;
    std::uint32_t cursor = 0;
    std::string problem;
  };
  std::optional<LostReadAhead> lostReadAhead_;
  std::string fetchAnswer_;  // kept for its memory: rows arrive batch after batch
  struct KeptComplexValues {
    std::string table;
    std::string column;
    std::map<std::int64_t, std::vector<ComplexValue>> byKey;
  };
  std::optional<KeptComplexValues> keptComplexValues_;
};

}  // namespace tablift::jet
