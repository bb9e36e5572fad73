#include "data_access/jet/jet_database.h"

#include <algorithm>
#include <cctype>

#include "data_access/ascii_text.h"
#include "data_access/jet/jet_messages.h"
#include "data_access/jet/reader_protocol.h"
#include "data_access/jet/wire_format.h"

namespace tablift::jet {
namespace {

std::string Request(RequestKind kind) {
  WireWriter out;
  out.u8(static_cast<std::uint8_t>(kind));
  return out.take();
}

std::string Request(RequestKind kind, const std::string& name) {
  WireWriter out;
  out.u8(static_cast<std::uint8_t>(kind));
  out.text(name);
  return out.take();
}

constexpr std::size_t kKeptAnswerBytes = 8u << 20;

// An answer that ask() found Ok: its result after the status byte.
std::string_view Result(const std::string& answer) {
  return std::string_view(answer).substr(1);
}

}  // namespace

HResult JetDatabase::open(const std::string& path, const std::string& password,
                          std::shared_ptr<JetDatabase>& database) {
  database.reset();
  FileHeader header;
  switch (ReadFileHeader(path, header)) {
    case HeaderCheck::Ok:
      break;
    case HeaderCheck::FileNotFound:
      PostJetError(FileNotFoundMessage(path));
      return E_FAIL;
    case HeaderCheck::CannotOpen:
      PostJetError(CannotOpenFileMessage(path));
      return E_FAIL;
    case HeaderCheck::UnrecognizedFormat:
      PostJetError(UnrecognizedFormatMessage(path));
      return E_FAIL;
  }
  if (!header.password.empty() && header.password != password) {
    PostJetError(InvalidPasswordMessage());
    return DB_SEC_E_AUTH_FAILED;
  }
  const bool encrypted = header.encrypted();
  std::shared_ptr<JetDatabase> opened(new JetDatabase(path, std::move(header)));
  if (encrypted) {
    const HResult decrypted = opened->decrypt(password);
    if (Failed(decrypted)) return decrypted;
  }
  std::string problem;
  const HResult started = opened->ensureReader(problem);
  if (Failed(started)) return opened->damaged(problem);
  database = std::move(opened);
  return S_OK;
}

JetDatabase::~JetDatabase() = default;

HResult JetDatabase::decrypt(const std::string& password) {
  std::unique_ptr<PageDecryptor> decryptor;
  std::string problem;
  switch (OpenPageDecryptor(header_.encryptionInfo, header_.encodingKey, password, decryptor,
                            problem)) {
    case PasswordCheck::Ok:
      break;
    case PasswordCheck::WrongPassword:
      PostJetError(InvalidPasswordMessage());
      return DB_SEC_E_AUTH_FAILED;
    case PasswordCheck::Unsupported:
      PostJetError(UnrecognizedFormatMessage(path_));
      return E_FAIL;
  }
  image_ = DecryptedImage::create(path_, header_, *decryptor, problem);
  if (!image_) return damaged(problem);
  return S_OK;
}

HResult JetDatabase::ensureReader(std::string& problem) {
  if (reader_ && reader_->alive()) return S_OK;
  reader_.reset();
  std::string firstAnswer;
  bool timedOut = false;
  std::unique_ptr<ReaderProcess> reader =
      ReaderProcess::start(path_, firstAnswer, problem, &timedOut, imageDescriptor());
  // A reader forked while another thread of the program held a lock of the C
  // library (the environment's, iconv's) can wait for it forever; a second
  // reader will not meet the same moment.
  if (!reader && timedOut) {
    reader = ReaderProcess::start(path_, firstAnswer, problem, nullptr, imageDescriptor());
  }
  if (!reader) return E_FAIL;
  WireReader in(firstAnswer);
  std::uint8_t status = 0;
  if (!in.u8(status)) {
    problem = "the reader's first answer is damaged";
    return E_FAIL;
  }
  if (static_cast<ReplyStatus>(status) != ReplyStatus::Ok) {
    if (!in.text(problem)) problem = "libmdb cannot open the file";
    return E_FAIL;
  }
  reader_ = std::move(reader);
  ++readerGeneration_;
  return S_OK;
}

HResult JetDatabase::damaged(const std::string& detail) {
  PostJetError(DamagedDatabaseMessage(path_, detail));
  return E_FAIL;
}

bool JetDatabase::exchange(const std::string& request, std::string& answer, std::string& problem) {
  readingAhead_ = 0;
  if (reader_->exchange(request, answer, problem)) return true;
  reader_.reset();
  return false;
}

HResult JetDatabase::ask(const std::string& request, std::string& answer, std::string_view subject,
                         bool anotherReaderWillDo) {
  std::string problem;
  if (Failed(ensureReader(problem))) return damaged(problem);
  const std::uint32_t aheadFor = readingAhead_;
  if (!exchange(request, answer, problem)) {
    // The reader may have died (or hung) reading ahead for that cursor
    // rather than on this request: the cursor's next fetch reports it, and a
    // request that needs no earlier state is asked of a fresh reader.
    if (aheadFor == 0) return damaged(problem);
    lostReadAhead_ = LostReadAhead{readerGeneration_, aheadFor, problem};
    if (!anotherReaderWillDo || Failed(ensureReader(problem))) return damaged(problem);
    if (!exchange(request, answer, problem)) return damaged(problem);
  }
  WireReader in(answer);
  std::uint8_t status = 0;
  if (!in.u8(status)) return damaged("the reader's answer is damaged");
  switch (static_cast<ReplyStatus>(status)) {
    case ReplyStatus::Ok:
      return S_OK;
    case ReplyStatus::NotFound:
      PostJetError(TableNotFoundMessage(subject));
      return DB_E_NOTABLE;
    case ReplyStatus::Failed: {
      std::string message;
      if (!in.text(message)) message = "the reader's answer is damaged";
      return damaged(message);
    }
  }
  return damaged("the reader's answer is damaged");
}

HResult JetDatabase::objects(std::vector<CatalogObject>& objects) {
  std::lock_guard lock(mutex_);
  if (!objects_) {
    std::string answer;
    const HResult result = ask(Request(RequestKind::ListObjects), answer, {}, true);
    if (Failed(result)) return result;
    WireReader in(Result(answer));
    std::vector<CatalogObject> read;
    if (!ReadCatalogObjects(in, read)) return damaged("the reader's answer is damaged");
    objects_ = std::move(read);
  }
  objects = *objects_;
  return S_OK;
}

HResult JetDatabase::describeTable(const std::string& name, TableDefinition& table) {
  std::lock_guard lock(mutex_);
  const std::string key = ToLowerAscii(name);
  if (const auto known = tables_.find(key); known != tables_.end()) {
    table = known->second;
    return S_OK;
  }
  std::string answer;
  const HResult result = ask(Request(RequestKind::DescribeTable, name), answer, name, true);
  if (Failed(result)) return result;
  WireReader in(Result(answer));
  if (!ReadTableDefinition(in, table)) return damaged("the reader's answer is damaged");
  tables_[key] = table;
  return S_OK;
}

HResult JetDatabase::complexValues(const std::string& table, const std::string& column,
                                   std::vector<ComplexValue>& values) {
  values.clear();
  std::lock_guard lock(mutex_);
  WireWriter request;
  request.u8(static_cast<std::uint8_t>(RequestKind::ComplexValues));
  request.text(table);
  request.text(column);
  std::string answer;
  const HResult result = ask(request.buffer(), answer, table, true);
  if (Failed(result)) return result;
  WireReader in(Result(answer));
  if (!ReadComplexValues(in, values)) return damaged("the reader's answer is damaged");
  return S_OK;
}

HResult JetDatabase::complexValues(const std::string& table, const std::string& column,
                                   std::int64_t key, std::vector<ComplexValue>& values) {
  values.clear();
  {
    std::lock_guard lock(mutex_);
    if (keptComplexValues_ && keptComplexValues_->table == table &&
        keptComplexValues_->column == column) {
      const auto found = keptComplexValues_->byKey.find(key);
      if (found != keptComplexValues_->byKey.end()) values = found->second;
      return S_OK;
    }
  }
  std::vector<ComplexValue> all;
  const HResult result = complexValues(table, column, all);
  if (Failed(result)) return result;
  KeptComplexValues kept{table, column, {}};
  for (ComplexValue& value : all)
    kept.byKey[value.key].push_back(std::move(value));
  if (const auto found = kept.byKey.find(key); found != kept.byKey.end()) values = found->second;
  std::lock_guard lock(mutex_);
  keptComplexValues_ = std::move(kept);
  return S_OK;
}

HResult JetDatabase::openRows(const std::string& name, RowsHandle& handle) {
  std::lock_guard lock(mutex_);
  std::string answer;
  const HResult result = ask(Request(RequestKind::OpenRows, name), answer, name, true);
  if (Failed(result)) return result;
  WireReader in(Result(answer));
  if (!in.u32(handle.cursor)) return damaged("the reader's answer is damaged");
  handle.reader = readerGeneration_;
  return S_OK;
}

HResult JetDatabase::fetchRows(const RowsHandle& handle, std::uint32_t wanted,
                               std::vector<std::vector<Value>>& rows, bool& end) {
  // The vectors (and strings) of the rows passed in are decoded into again
  // rather than freed and allocated anew for every batch; a failure leaves
  // no rows.
  end = false;
  std::lock_guard lock(mutex_);
  if (handle.reader != readerGeneration_ || !reader_) {
    rows.clear();
    if (lostReadAhead_ && lostReadAhead_->reader == handle.reader &&
        lostReadAhead_->cursor == handle.cursor) {
      return damaged(lostReadAhead_->problem);
    }
    return damaged("reading stopped when an earlier read failed");
  }
  WireWriter request;
  request.u8(static_cast<std::uint8_t>(RequestKind::FetchRows));
  request.u32(handle.cursor);
  request.u32(wanted);
  if (fetchAnswer_.capacity() > kKeptAnswerBytes) std::string().swap(fetchAnswer_);
  std::string& answer = fetchAnswer_;
  const HResult result = ask(request.buffer(), answer, {}, false);
  if (Failed(result)) {
    rows.clear();
    return result;
  }
  WireReader in(Result(answer));
  std::uint32_t count = 0;
  std::uint32_t columns = 0;
  if (!in.boolean(end) || !in.u32(count) || !in.u32(columns) || count > wanted || columns > 4096) {
    rows.clear();
    return damaged("the reader's answer is damaged");
  }
  rows.resize(count);
  for (std::vector<Value>& row : rows) {
    row.resize(columns);
    for (Value& value : row) {
      if (!in.value(value)) {
        rows.clear();
        return damaged("the reader's answer is damaged");
      }
    }
  }
  // The reader goes on to read the cursor's next rows.
  if (!end) readingAhead_ = handle.cursor;
  // The answer's memory is kept for the next batch, unless a long value
  // made it far larger than a batch of rows usually is.
  if (fetchAnswer_.capacity() > kKeptAnswerBytes) std::string().swap(fetchAnswer_);
  return S_OK;
}

void JetDatabase::closeRows(const RowsHandle& handle) {
  std::lock_guard lock(mutex_);
  if (handle.reader != readerGeneration_ || !reader_) return;
  WireWriter request;
  request.u8(static_cast<std::uint8_t>(RequestKind::CloseRows));
  request.u32(handle.cursor);
  std::string answer;
  std::string problem;
  exchange(request.buffer(), answer, problem);
}

}  // namespace tablift::jet
