#include "access/index_reader.h"

#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "access/index_answer.h"
#include "core/completion_event.h"
#include "core/write_line.h"
#include "data_access/jet/index_definitions.h"

namespace tablift {
namespace {

// Set by every reader as its last step; the caller waits on it. A
// namespace-scope object, so it exists before the first reader starts.
CompletionEvent readerCompleted;

// Callers take turns, so that the completion a caller sees is its own
// reader's.
std::mutex oneReaderAtATime;

std::vector<std::string> FieldNames(const jet::IndexDefinition& index) {
  std::vector<std::string> fields;
  for (const jet::IndexColumn& column : index.columns)
    fields.push_back(column.name);
  return fields;
}

void ReadAnswer(IndexRequest& request) {
  std::vector<jet::IndexDefinition> indexes;
  std::string error;
  if (Failed(jet::ReadIndexDefinitions(request.path, request.table, indexes, error,
                                       request.password))) {
    if (request.job != nullptr) WriteLine(*request.job, "T::%s", error.c_str());
    return;
  }
  for (const jet::IndexDefinition& index : indexes) {
    if (request.kind == IndexKind::PrimaryKey) {
      if (!index.primaryKey) continue;
      request.answer = IndexAnswerEntryText(index.name, FieldNames(index));
    } else {
      if (!index.unique || index.primaryKey || index.foreign) continue;
      if (!request.answer.empty()) request.answer += kIndexEntrySeparator;
      request.answer += IndexAnswerEntryText(index.name, FieldNames(index));
    }
  }
}

}  // namespace

void IndexReader(IndexRequest* request) {
  try {
    ReadAnswer(*request);
  } catch (const std::exception& failure) {
    if (request->job != nullptr) WriteLine(*request->job, "T::%s", failure.what());
  }
  readerCompleted.set();
}

bool RunIndexReader(IndexRequest& request) {
  std::lock_guard turn(oneReaderAtATime);
  std::thread reader;
  try {
    reader = std::thread(IndexReader, &request);
  } catch (const std::exception& failure) {
    if (request.job != nullptr)
      WriteLine(*request.job, "E::Index reader cannot start: %s", failure.what());
    return false;
  }
  readerCompleted.wait();
  // The reader has nothing left to do once it has signalled; joining only
  // returns its thread to the system.
  reader.join();
  return true;
}

}  // namespace tablift
