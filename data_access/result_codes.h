#pragma once

#include <cstdint>

// Result codes of the data access layer. They keep the values and names of the
// COM and OLE DB codes so that texts, logs and provider code read the same as
// the documented behaviour they stand in for.
namespace tablift {

using HResult = std::int32_t;

// The codes are written as their unsigned 32-bit images; the cast keeps the
// familiar hexadecimal spelling while giving the signed HRESULT value.
constexpr HResult MakeResult(std::uint32_t image) {
  return static_cast<HResult>(image);
}

constexpr bool Failed(HResult code) {
  return code < 0;
}
constexpr bool Succeeded(HResult code) {
  return code >= 0;
}

// COM and system codes.
constexpr HResult S_OK = MakeResult(0x00000000);
constexpr HResult S_FALSE = MakeResult(0x00000001);
constexpr HResult E_UNEXPECTED = MakeResult(0x8000FFFF);
constexpr HResult E_NOTIMPL = MakeResult(0x80004001);
constexpr HResult E_NOINTERFACE = MakeResult(0x80004002);
constexpr HResult E_FAIL = MakeResult(0x80004005);
constexpr HResult E_OUTOFMEMORY = MakeResult(0x8007000E);
constexpr HResult E_INVALIDARG = MakeResult(0x80070057);
constexpr HResult REGDB_E_CLASSNOTREG = MakeResult(0x80040154);
constexpr HResult CO_E_CLASSSTRING = MakeResult(0x800401F3);

// OLE DB error codes.
constexpr HResult DB_E_BADROWHANDLE = MakeResult(0x80040E04);
constexpr HResult DB_E_CANTCONVERTVALUE = MakeResult(0x80040E07);
constexpr HResult DB_E_NOCOMMAND = MakeResult(0x80040E0C);
constexpr HResult DB_E_ERRORSINCOMMAND = MakeResult(0x80040E14);
constexpr HResult DB_E_DUPLICATEDATASOURCE = MakeResult(0x80040E17);
constexpr HResult DB_E_ERRORSOCCURRED = MakeResult(0x80040E21);
constexpr HResult DB_E_NOTABLE = MakeResult(0x80040E37);
constexpr HResult DB_E_BADID = MakeResult(0x80040E3C);  // DB_E_BADTABLEID
constexpr HResult DB_SEC_E_AUTH_FAILED = MakeResult(0x80040E4D);
constexpr HResult DB_E_ALREADYINITIALIZED = MakeResult(0x80040E52);
constexpr HResult DB_E_NOTSUPPORTED = MakeResult(0x80040E53);
constexpr HResult DB_E_BADORDINAL = MakeResult(0x80040E55);

// OLE DB success codes with information.
constexpr HResult DB_S_ENDOFROWSET = MakeResult(0x00040EC6);
constexpr HResult DB_S_ERRORSOCCURRED = MakeResult(0x00040EDA);

}  // namespace tablift
