#pragma once

#include <string>
#include <string_view>

// The texts the Jet provider leaves in its error objects. They are the Jet
// engine's own wordings, so that a log line reads the same as the engine's.
namespace tablift::jet {

// The source that error records of the Jet provider name.
inline constexpr const char* kJetErrorSource = "Microsoft JET Database Engine";

std::string FileNotFoundMessage(std::string_view path);
std::string UnrecognizedFormatMessage(std::string_view path);
std::string CannotOpenFileMessage(std::string_view path);
std::string InvalidPasswordMessage();
// A structure of the file could not be read; `detail` says which and why.
std::string DamagedDatabaseMessage(std::string_view path, std::string_view detail);
std::string TableNotFoundMessage(std::string_view table);

// Leaves the thread's error object with the Jet provider as its source.
void PostJetError(std::string description);

}  // namespace tablift::jet
