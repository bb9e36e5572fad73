#pragma once

#include <string_view>

#include "core/prompter.h"

namespace tablift {

// A refused command explains itself in the tips pane, then in a short box.
inline void RefuseCommand(Prompter& prompter, std::string_view hint, std::string_view box) {
  prompter.showHint(hint);
  prompter.showMessage(box, MessageIcon::Warning);
}

}  // namespace tablift
