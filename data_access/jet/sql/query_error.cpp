#include "data_access/jet/sql/query_error.h"

namespace tablift::jet {

std::string_view ClauseName(Clause clause) {
  switch (clause) {
    case Clause::Select:
      return "SELECT";
    case Clause::From:
      return "FROM";
    case Clause::On:
      return "ON";
    case Clause::Where:
      return "WHERE";
    case Clause::GroupBy:
      return "GROUP BY";
    case Clause::Having:
      return "HAVING";
    case Clause::OrderBy:
      return "ORDER BY";
    case Clause::Parameters:
      return "PARAMETERS";
    case Clause::Transform:
      return "TRANSFORM";
    case Clause::Pivot:
      return "PIVOT";
  }
  return "statement";
}

void QueryError::locate(Clause clause, std::size_t position) {
  if (located_) return;
  message_ += " in ";
  message_ += ClauseName(clause);
  message_ += " near position ";
  message_ += std::to_string(position);
  located_ = true;
}

std::size_t CharacterPosition(std::string_view statement, std::size_t byteOffset) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < byteOffset && i < statement.size(); ++i) {
    // Continuation bytes of a UTF-8 sequence do not start a character.
    if ((static_cast<unsigned char>(statement[i]) & 0xC0) != 0x80) ++characters;
  }
  return characters + 1;
}

}  // namespace tablift::jet
