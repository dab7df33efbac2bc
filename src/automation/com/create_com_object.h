#pragma once

#include <string_view>

#include "automation/variant.h"

namespace automation {

// Starts or connects to the COM server registered for the identifier, in process or as a
// local server, and returns its dispatch interface. The calling thread must be in an
// apartment. Throws CallFailure with the system's code and text.
DispatchPtr CreateComObject(std::wstring_view progId);

// Whether a COM server is registered for the identifier (the server is not started).
bool IsComServerRegistered(std::wstring_view progId);

}  // namespace automation
