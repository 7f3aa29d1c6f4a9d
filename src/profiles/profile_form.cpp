#include "profiles/profile_form.h"

#include "shell/shell.h"

namespace tdwk {

void ProfileForm::saveUserDetails(std::string) {}
bool ProfileForm::flashVariableExists(std::string) { return false; }

}  // namespace tdwk
