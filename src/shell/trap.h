#pragma once

#include <new>
#include <string_view>
#include <type_traits>

#include "base/vb_error.h"
#include "shell/error_log.h"

namespace tdwk {

inline constexpr std::string_view kFormModule = "frmTDWK";
inline constexpr std::string_view kMainModule = "basTDWK";

// Runs a procedure's body under its one error trap. A failure is reported and the procedure
// returns its empty result. Returns true when the body completed.
template <class Body>
bool RunTrapped(ErrorLog& log, std::string_view module, std::string_view procedure, Body&& body,
                std::string_view userMessage = {}) {
  std::int32_t number = 0;
  std::string description;
  try {
    body();
    return true;
  } catch (const VbError& e) {
    number = e.Number();
    description = e.Description();
  } catch (const std::bad_alloc&) {
    number = vb::kOutOfMemory;
    description = ErrorDescription(number);
  } catch (const std::exception&) {
    number = vb::kInternalError;
    description = ErrorDescription(number);
  }
  log.ReportError(number, description, std::string(module), std::string(procedure),
                  std::string(userMessage));
  return false;
}

// The same for a procedure with a result: the empty result after a failure.
template <class Body, class Result = std::invoke_result_t<Body>>
Result Trapped(ErrorLog& log, std::string_view module, std::string_view procedure, Body&& body) {
  Result result{};
  RunTrapped(log, module, procedure, [&] { result = body(); });
  return result;
}

}  // namespace tdwk
