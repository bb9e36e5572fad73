#include "data_access/jet/jet_messages.h"

#include "data_access/error_info.h"

namespace tablift::jet {
namespace {

std::string Quoted(std::string_view text) {
  std::string quoted = "'";
  quoted.append(text);
  quoted += "'";
  return quoted;
}

}  // namespace

std::string FileNotFoundMessage(std::string_view path) {
  return "Could not find file " + Quoted(path) + ".";
}

std::string UnrecognizedFormatMessage(std::string_view path) {
  return "Unrecognized database format " + Quoted(path) + ".";
}

std::string CannotOpenFileMessage(std::string_view path) {
  return "The Microsoft Jet database engine cannot open the file " + Quoted(path) +
         ".  It is already opened exclusively by another user, or you need permission to "
         "view its data.";
}

std::string InvalidPasswordMessage() {
  return "Not a valid password.";
}

std::string DamagedDatabaseMessage(std::string_view path, std::string_view detail) {
  std::string message =
      "The database " + Quoted(path) + " needs to be repaired or isn't a database file.";
  if (!detail.empty()) {
    message += " (";
    message.append(detail);
    message += ")";
  }
  return message;
}

std::string TableNotFoundMessage(std::string_view table) {
  return "The Microsoft Jet database engine cannot find the input table or query " + Quoted(table) +
         ".  Make sure it exists and that its name is spelled correctly.";
}

void PostJetError(std::string description) {
  PostError(std::move(description), kJetErrorSource);
}

}  // namespace tablift::jet
