#pragma once
// A scripted stand-in for the "Word.Application" server: it answers the engine's members on a
// small text model, records every call, and can fail at call N with either failure kind.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "automation/dispatch.h"
#include "automation/variant.h"
#include "engine/word_object.h"

namespace fake {

struct Span {
  int start = 0;
  int end = 0;
};

struct Field {
  Span result;  // where the field lies in the text
  std::wstring code;
};

struct Link {
  Span span;
  std::wstring target;
};

// One document: its text (paragraphs end with '\r') and what is indexed over it.
struct Model {
  std::wstring text;
  std::vector<int> pageStarts{0};
  std::map<int, int> outline;  // paragraph start -> outline level; others are body text (10)
  std::vector<Field> fields;
  std::vector<Span> tables;
  std::vector<Link> links;
  std::map<std::wstring, Span> bookmarks;
  std::vector<Span> tocs;
  int protection = -1;
  int format = 16;
  int paragraphFormatFlag = 0;
  automation::Variant lastSaved = automation::Variant::Date(41703 + (14 * 60 + 7) / 1440.0);

  int Length() const { return static_cast<int>(text.size()); }
  // Appends a paragraph and returns its span (mark included).
  Span Paragraph(const std::wstring& line, int level = 10);
  // The text appended next starts a new page.
  void NewPage() { pageStarts.push_back(Length()); }
};

struct Call {
  engine::ObjectKind object;
  int dispid;
  automation::InvokeKind kind;
  std::vector<automation::Variant> args;
};

struct SavedFile {
  std::wstring path;
  int format;
  std::wstring text;
};

enum class Failure { Server, Call, Other };

struct OpenDocument {
  std::wstring path;
  Model model;
  bool readOnly = false;
};

// Everything the fake server knows; shared by all its objects.
struct State {
  std::map<std::wstring, Model> files;  // documents that can be opened, by path
  std::vector<Call> calls;
  std::vector<SavedFile> saved;
  std::vector<std::shared_ptr<OpenDocument>> open;  // documents open in "Word"
  int userDocuments = 0;                            // documents the user has open
  bool quit = false;
  std::vector<int> viewTypes;
  std::vector<bool> visible;

  int failAt = 0;  // fail the N-th call (1-based); 0 never
  Failure failure = Failure::Server;

  // The selection, in the active (last opened) document.
  std::shared_ptr<OpenDocument> active;
  int selStart = 0;
  int selEnd = 0;
};

inline constexpr const wchar_t* kServerText = L"Word could not do this (injected).";

class FakeWord {
 public:
  FakeWord() : state_(std::make_shared<State>()) {}
  State& state() { return *state_; }
  // A new application object on the shared state.
  automation::DispatchPtr Application();

 private:
  std::shared_ptr<State> state_;
};

}  // namespace fake
