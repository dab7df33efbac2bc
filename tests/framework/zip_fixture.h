#pragma once
// Small layout archives made in memory for framework tests.

#include <map>
#include <string>

namespace frameworktest {

// A ZIP archive holding the given entries (name -> bytes).
std::string MakeZip(const std::map<std::string, std::string>& entries);

}  // namespace frameworktest
