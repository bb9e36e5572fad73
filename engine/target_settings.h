#pragma once

#include <string>
#include <string_view>

namespace tablift {

class Workbench;

// What new tables get in the desktop program until the user chooses
// otherwise, as on the command line: MyISAM keeps no FOREIGN KEY, and latin1
// refuses every text outside Latin-1 row by row.
inline constexpr char kDefaultStorageEngine[] = "InnoDB";
inline constexpr char kDefaultCharset[] = "UTF8MB4";

// The main menu's storage engine entry while the engine is MyISAM or InnoDB.
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

// The main menu's storage engine entry while `engine` is the one new tables
// get.
std::string StorageEngineMenuText(std::string_view engine);

// The storage engine toggle: new tables get the other engine (MyISAM or
// InnoDB) from now on, and the user is told which. Returns the engine now
// chosen. The choice is the engine's own state, whatever a menu shows.
std::string ToggleStorageEngine(Workbench& window);

}  // namespace tablift
