#pragma once

#include <string>
#include <string_view>

namespace tablift {

class Workbench;

// The main menu's storage engine entry at start, and after toggling back.
inline constexpr char kStorageEngineMyIsamText[] = "Change Storage Engine(MyISAM)";
inline constexpr char kStorageEngineInnoDbText[] = "Change Storage Engine(InnoDB)";

// "Change Charset" after the character set dialog was confirmed with `name`.
// The target session's client character set follows first, so that the
// program converts text to and from exactly what the server is told; a set
// the session cannot speak is refused with an "E::" line and changes nothing
// (sending it to the server alone would garble every text from then on).
// Otherwise `name` becomes the workbench's character set, the five
// "set character_set_...=" statements are run with their outcome lines,
// and the target tree is listed anew. False when refused, while tasks run
// (the user is asked to stop them), or on a tree other than MySQL's, where
// nothing happens.
bool ChangeCharset(Workbench& window, const std::string& name);

// The storage engine toggle: `menuText` is the main menu entry's text as it
// is; the new text is returned, the engine of the target tree set and the
// user told which engine new tables get.
std::string ToggleStorageEngine(Workbench& window, std::string_view menuText);

}  // namespace tablift
