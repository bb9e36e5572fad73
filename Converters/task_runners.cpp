#include "Converters/task_runners.h"

namespace tablift {

TaskRunner FindTaskRunner(TaskType) {
  return {};
}

}  // namespace tablift
