#pragma once

#include <vector>

#include "engine/catalog_tree.h"
#include "engine/requests.h"
#include "engine/task_list.h"

namespace tablift {

class Workbench;

// Queues one migration task for `request` and starts the controller. It needs
// an open target session; otherwise it explains itself with a hint and a
// message box and queues nothing. The data cache folder beside the program is
// made to exist, so that the workers' cache files land there.
//
// Returns the queued record, or null when nothing was queued. A task queued
// while tasks run is picked up by the running controller.
//
// `consent` Given: the user already said what to migrate (the command line's
// arguments), so nobody is asked; a log line says what is being done
// instead ("Cloning database [...] into a new database [...]").
enum class Consent { Ask, Given };
TaskPtr QueueMigration(Workbench& window, const MigrationRequest& request, Consent consent);

// The window's Migrate command: the request made of the nodes selected in the
// source and the target tree, after the user confirmed it. It needs a
// selection in both trees and a target database (or the target root, to clone
// a source database); otherwise it explains itself and queues nothing.
TaskPtr MigrateCommand(Workbench& window);

// A node dragged from the source tree and dropped on the target node at
// `path`: that node becomes the target selection and the Migrate command runs.
// When the node is no longer in the tree (it was refilled meanwhile), the
// target selection is cleared instead, so that nothing is migrated into a node
// the user did not drop on. The drop highlight stays as the view left it,
// except that cancelling a clone clears it.
TaskPtr DropOnTarget(Workbench& window, const std::vector<CatalogStep>& path);

// Whether the record can be resumed: a migration that ended FAILURE or was
// stopped.
bool CanResume(const MigrationTask& task);

// The task list's Resume: the record at `index`, when CanResume, is queued
// again as a new record of the same migration with resume set (what the
// target already holds is kept, only what is missing is made or loaded),
// and the controller starts. Returns the new record, or null when the record
// cannot be resumed.
TaskPtr ResumeTask(Workbench& window, int index);

}  // namespace tablift
