#include "personalisation/countdowns.h"

#include "shell/shell.h"

namespace tdwk {

void Countdowns::setTimers() {}

}  // namespace tdwk
