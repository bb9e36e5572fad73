#pragma once

#include "core/status.h"

namespace tablift {

class Workbench;

// Connects one side of the window anew from its profile: releases what the
// side held, opens the provider's data source with the side's initialisation
// properties and a session on it, records the DBMS name ("name[version]")
// that the task list shows, and has the side's catalog tree list the
// database it opened (an Access file's database name, or the profile's
// catalog). Progress and failures go to the log, hints and
// message boxes as the connect command shows them; a failed side is left
// without a session, so later commands report "No Connection!".
//
// The source side also makes sure the Jet workgroup file exists and, for the
// Jet provider, hands its path to the provider. The target side resets the
// connection character set to "LATIN1".
//
// Neither guards against running tasks: the connect command checks that
// before it calls them, and the controller's runners call ConnectSource
// themselves when they switch the source database.
void ConnectSource(Workbench& window);
// The Connect command: both sides, source first, unless tasks run (the user
// is then asked to stop them and nothing is connected).
void ConnectCommand(Workbench& window);
void ConnectTarget(Workbench& window);
// ConnectTarget with its outcome as a value: on failure the server's or the
// driver's own reason ("Access denied for user 'root'@'localhost' ...",
// "Can't connect to server ... (111)"), passwords masked, as the log also
// says it.
Status ConnectTargetReporting(Workbench& window);

}  // namespace tablift
