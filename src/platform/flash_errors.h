#pragma once

#include <cstdint>

#include "base/vb_error.h"

namespace tdwk {

// What a Flash control raises when the movie does not answer GetVariable for a name.
inline constexpr std::int32_t kFlashMethodFailed = -2147467259;  // 0x80004005

[[noreturn]] inline void RaiseVariableNotAnswered() {
  throw VbError(kFlashMethodFailed, "Method 'GetVariable' of object 'IShockwaveFlash' failed");
}

}  // namespace tdwk
