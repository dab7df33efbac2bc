#pragma once
// The built-in document server: answers the Word members the engine calls by working on .docx
// files itself. Each application object has its own LibreOffice, started on first need (.doc
// and .rtf, and pages of documents Word did not lay out) and ended when the application quits or
// is destroyed.

#include "automation/variant.h"

namespace docserver {

// Registers the server as "Word.Application" for the whole process.
void RegisterBuiltInServer();

// A new application object of the server (what creating "Word.Application" gives).
automation::DispatchPtr CreateApplication();

}  // namespace docserver
