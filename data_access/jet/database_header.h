#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The first page of a Jet or ACE database, as far as both the reader and the
// writer of such files use it.
namespace tablift::jet::database_header {

inline constexpr char kJetSignature[] = "Standard Jet DB";
inline constexpr char kAceSignature[] = "Standard ACE DB";
inline constexpr std::size_t kSignatureOffset = 0x04;
inline constexpr std::size_t kVersionOffset = 0x14;

// The engine scrambles a block of the page with RC4 under this key: 126
// bytes in Jet 3, 128 since Jet 4.
inline constexpr std::size_t kScrambledOffset = 0x18;
inline constexpr std::size_t kJet3ScrambledLength = 126;
inline constexpr std::size_t kJet4ScrambledLength = 128;
inline constexpr std::array<std::uint8_t, 4> kScrambleKey = {0xC7, 0xDA, 0x39, 0x6B};

inline constexpr std::size_t kCodePageOffset = 0x3C;
inline constexpr std::size_t kPasswordOffset = 0x42;
inline constexpr std::size_t kJet3PasswordLength = 20;
inline constexpr std::size_t kJet4PasswordLength = 40;
inline constexpr std::size_t kCreationDateOffset = 0x72;

// Jet 4 masks the password once more with the whole days of the creation
// date, as a 32-bit integer the way the engine truncates it (so that even an
// empty password does not read as zeros): the mask's four bytes, repeated.
std::array<std::uint8_t, 4> PasswordMask(double creationDate);

}  // namespace tablift::jet::database_header
