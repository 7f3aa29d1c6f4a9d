#include "personalisation/child_attributes.h"

#include "shell/shell.h"

namespace tdwk {

void ChildAttributes::setFlashClildAttributes() {}

}  // namespace tdwk
