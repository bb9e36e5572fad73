#pragma once

#include <string>

#include "core/connection_profile.h"
#include "data_access/property_set.h"

namespace tablift {

// The provider string of a Jet source.
inline constexpr const char* kJetProviderString = ";COUNTRY=0;CP=1252;LANGID=0x0409";
// The start of the provider string of an Access source reached over ODBC; the
// expanded workgroup file path follows it.
inline constexpr const char* kAccessOdbcProviderString =
    "Driver={Microsoft Access Driver (*.mdb)};SystemDB=";

// The Access database name of a file: its path without a trailing ".mdb" or
// ".accdb" (compared with case, as the catalog listing strips them, so "x.MDB"
// keeps its ending).
std::string AccessDatabaseName(std::string_view path);

// True when `progId` names the Jet provider (compared without regard to case).
bool IsJetProgId(std::string_view progId);

// Fills the DBPROPSET_DBINIT set that opens an Access source described by
// `profile`: cached, unencrypted, unmasked credentials; the data source and
// catalog when they are not empty; share-deny-none mode, no prompt, the
// English (US) locale; then the provider string of the profile's provider.
//
// For the Jet provider the profile's catalog name then becomes the source
// name without a trailing ".mdb" or ".accdb" (compared with case, so "x.MDB" keeps its
// ending), the database name shown everywhere. The catalog property already
// added keeps the value from before. Always true.
bool BuildSourceInitProperties(ConnectionProfile& profile, PropertySet& set);

// The Jet provider's own initialisation set: the workgroup file path, as
// expanded from "%USERPROFILE%\Application Data\Microsoft\Access\System.MDW".
PropertySet BuildJetInitProperties();

}  // namespace tablift
