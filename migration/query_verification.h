#pragma once

#include <string>
#include <vector>

#include "data_access/session.h"
#include "migration/table_verification.h"

namespace tablift {

class MigrationContext;

// What a saved Access query became on the target, and how the rows MySQL
// gives for it compare with the rows the project's own Access SQL executor
// gives for the same query on the source file: two engines that must agree.
struct QueryVerification : RowComparison {
  enum class Object { None, View, Procedure };
  Object object = Object::None;
  // Why the rows were not compared although the object exists (a procedure
  // that changes data, a procedure called without arguments); empty when
  // they were.
  std::string notCompared;

  bool compared() const { return object != Object::None && notCompared.empty(); }
};

// Compares the saved query `query` with the view or procedure of its MySQL
// name (the workbench's name rule) on the target's current database. A
// procedure is called with `arguments` (as text, in the order of its
// parameters), and the executor is given the same values; a procedure of an
// action query is never called, since calling it changes the tables.
QueryVerification VerifySavedQuery(MigrationContext& job, Session* sourceSession,
                                   Session* targetSession, const std::string& query,
                                   const std::vector<std::string>* arguments);

}  // namespace tablift
