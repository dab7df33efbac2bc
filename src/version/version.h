#pragma once
// The program's version as its windows and varnik-cli show it: the project's version and, in
// a build from a git checkout, the commit, e.g. "1.0.0.1 (abc1234)".

namespace version {

const char* Text();

}  // namespace version
