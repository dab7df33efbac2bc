#pragma once
// Which server answers "Word.Application": the installed Word where there is one, this
// program's built-in document server otherwise.

#include <string>

namespace docserver {

// Registers "Word.Application" for the whole process. On Windows each creation asks COM for
// Word first and makes a built-in application only when Word cannot be created; elsewhere the
// built-in server is the only one.
void RegisterWordFirst();

// The engine that creating "Word.Application" gives now, for the version and about texts.
std::wstring EngineName();

}  // namespace docserver
