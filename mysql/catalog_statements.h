#pragma once

#include <string>
#include <string_view>

#include "data_access/session.h"

namespace tablift {

class JobContext;

// The statements that change the target's schema. Each runs quietly on the
// given target session and answers only whether the server accepted it; callers write their own
// messages. Names are quoted with backquotes. `failure`, when given, receives the server's reason
// for a refusal.

// With `nameGiven` the name is a source database path and only its last
// component is used ("/data/shop.mdb" creates `shop.mdb`). Without it the user
// is asked for a name, which is sent exactly as typed (unquoted); cancelling
// runs nothing and gives false.
bool CreateTargetDatabase(JobContext& job, Session* session, std::string_view name, bool nameGiven,
                          std::string* failure = nullptr);
bool DropTargetDatabase(JobContext& job, Session* session, std::string_view name,
                        std::string* failure = nullptr);
// Drops the table of the target session's current database; `database` is not
// part of the statement.
bool DropTargetTable(JobContext& job, Session* session, std::string_view database,
                     std::string_view table, std::string* failure = nullptr);
bool DropTargetView(JobContext& job, Session* session, std::string_view view,
                    std::string* failure = nullptr);
// Deletes every row of a table of the target session's current database; the
// table itself stays.
bool EmptyTargetTable(JobContext& job, Session* session, std::string_view table,
                      std::string* failure = nullptr);
// Without a session it writes the "No Connection!" line and gives false.
bool RenameTargetTable(JobContext& job, Session* targetSession, std::string_view oldName,
                       std::string_view newName, std::string* failure = nullptr);

// The reading statements: the last row's CREATE text (or version), read whole.
// In place of a result they give the provider's error text, "RESULT: The
// operation completed SUCCESSFULLY" for a statement without rows, and, without
// a session, the "No Connection!" line in the log and "" (table) or "No
// Connection!" (view, version).
// Since a failure text takes the place of the definition, `failure`, when
// given, receives why no definition was read, or "" when one was.
std::string ShowCreateTable(JobContext& job, Session* session, std::string_view table,
                            std::string* failure = nullptr);
// Parenthesised joins of quoted tables in the last group found come back as a
// comma list, the form older servers printed and scripts replay.
std::string ShowCreateView(JobContext& job, Session* session, std::string_view view,
                           std::string* failure = nullptr);
std::string ReadServerVersion(JobContext& job, Session* session);

// Rewrites the last parenthesised join of quoted tables found in a view
// definition, and every copy of it, as a comma list: "(`a` join `b`)" becomes
// "`a` , `b`".
std::string FlattenParenthesisedJoins(std::string view);

// The last path component of a database name given as a path ("\" or "/").
std::string StripDatabasePath(std::string_view name);

// Writes the "No Connection!" line the target operations use when they find no
// session.
void WriteNoConnectionLine(JobContext& job);

}  // namespace tablift
