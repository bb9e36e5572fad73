#include "mysql/server_version.h"

#include <charconv>

namespace tablift {

double ParseServerVersion(std::string_view dbmsName) {
  std::string_view version = dbmsName;
  if (const std::size_t bracket = version.find('['); bracket != std::string_view::npos) {
    version.remove_prefix(bracket + 1);
  }
  // Major and minor only: "10.11.6" must not read as 10.116 or fail.
  if (const std::size_t first = version.find('.'); first != std::string_view::npos) {
    version = version.substr(0, version.find('.', first + 1));
  }
  // from_chars reads "." as the decimal point whatever the user's locale says.
  double number = 0.0;
  if (std::from_chars(version.data(), version.data() + version.size(), number).ec != std::errc()) {
    return 0.0;
  }
  return number;
}

}  // namespace tablift
