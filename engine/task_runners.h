#pragma once

#include "engine/main_controller.h"

namespace tablift {

// The engine's runner of each task type (migrations 0x101-0x106, backups
// 0x201-0x202); empty for a type without one.
TaskRunner FindTaskRunner(TaskType type);

}  // namespace tablift
