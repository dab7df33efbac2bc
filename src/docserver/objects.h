#pragma once
// The automation objects of the built-in server. Internal to docserver.

#include <filesystem>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "automation/dispatch.h"
#include "automation/errors.h"
#include "docserver/document.h"

namespace docserver {

using automation::InvokeKind;
using automation::Variant;
using Args = std::span<const Variant>;

// What one server (one "application") holds: its open documents and its selection.
struct ServerState {
  // Its LibreOffice, started on first need; it ends with the server.
  std::shared_ptr<OfficeHost> office = std::make_shared<OfficeHost>();
  SourceCache sources;
  std::vector<std::shared_ptr<Document>> documents;
  std::shared_ptr<Document> active;
  std::shared_ptr<LiveRange> selection;
  // What each save kept of its source, until the piece it wrote is checked.
  std::map<std::filesystem::path, PieceRecord> pieces;
};

// Argument helpers: a missing or omitted argument gives the default.
int IntArg(Args args, std::size_t i, int fallback);
bool BoolArg(Args args, std::size_t i, bool fallback);
std::wstring TextArg(Args args, std::size_t i);
[[noreturn]] void NotFound();
[[noreturn]] void NoSuchItem();
Variant Object(automation::DispatchPtr object);

automation::DispatchPtr MakeApplication();
automation::DispatchPtr MakeDocument(std::shared_ptr<ServerState> state,
                                     std::shared_ptr<Document> doc);
automation::DispatchPtr MakeRange(std::shared_ptr<Document> doc, int start, int end);
automation::DispatchPtr MakeSelection(std::shared_ptr<ServerState> state);
// Collections of a stretch of the main text.
automation::DispatchPtr MakeParagraphs(std::shared_ptr<Document> doc, int start, int end);
automation::DispatchPtr MakeSentences(std::shared_ptr<Document> doc, int start, int end);
automation::DispatchPtr MakeTables(std::shared_ptr<Document> doc, int start, int end);
automation::DispatchPtr MakeFields(std::shared_ptr<Document> doc, int start, int end);
automation::DispatchPtr MakeHyperlinks(std::shared_ptr<Document> doc, int start, int end);
automation::DispatchPtr MakeBookmarks(std::shared_ptr<Document> doc);
automation::DispatchPtr MakeTablesOfContents(std::shared_ptr<Document> doc);

}  // namespace docserver
