#include "translate/access_select.h"

namespace tablift {

Result<std::string> TranslateAccessSelect(std::string_view /*accessSql*/,
                                          const NameMapping& /*names*/) {
  return Status::Failure("Access SELECT text is not translated yet");
}

}  // namespace tablift
