#pragma once
// The built-in document server: answers the Word members the engine calls by working on .docx
// files itself (.doc and .rtf through the office program, found as "soffice" on the search path
// or named by the environment variable VARNIK_OFFICE).

#include "automation/variant.h"

namespace docserver {

// Registers the server as "Word.Application" for the whole process.
void RegisterBuiltInServer();

// A new application object of the server (what creating "Word.Application" gives).
automation::DispatchPtr CreateApplication();

}  // namespace docserver
