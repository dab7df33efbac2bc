#pragma once
// Handles on Word's objects and the single call primitive through which every request reaches
// the "Word.Application" automation server.

#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <string_view>

#include "automation/dispatch.h"
#include "automation/variant.h"

namespace engine {

// Which of Word's objects a handle holds; a call is checked against the member table by it.
enum class ObjectKind : std::uint8_t {
  None,  // a handle made without a kind (default-constructed)
  Application,
  Documents,
  Document,
  Window,
  View,
  DocumentProperties,
  DocumentProperty,
  Selection,
  Range,
  Paragraphs,
  Paragraph,
  Sentences,
  Tables,
  Table,
  Fields,
  Field,
  Hyperlinks,
  Hyperlink,
  TablesOfContents,
  TableOfContents,
  Bookmarks,
  Bookmark,
};

std::wstring_view ObjectKindName(ObjectKind kind);

// An owned reference on one Word object, or none (a member that returns no object). Copying adds
// a reference; destruction or reassignment releases it.
class WordObject {
 public:
  WordObject() = default;
  explicit WordObject(ObjectKind kind) : kind_(kind) {}
  WordObject(automation::DispatchPtr object, ObjectKind kind)
      : object_(std::move(object)), kind_(kind) {}

  bool Empty() const { return object_ == nullptr; }
  explicit operator bool() const { return object_ != nullptr; }
  ObjectKind Kind() const { return kind_; }
  const automation::DispatchPtr& Dispatch() const { return object_; }
  // Gives the reference up without asking the server for anything.
  void Release() { object_.reset(); }

 private:
  automation::DispatchPtr object_;
  ObjectKind kind_ = ObjectKind::None;
};

// The three constant arguments: true and false passed by reference (16-bit integers 1 and 0),
// and an optional parameter left to Word's default.
extern const automation::Variant ArgTrue;
extern const automation::Variant ArgFalse;
extern const automation::Variant ArgOmitted;

// Texts of failed calls are shown in the message box, cut to this length.
inline constexpr std::size_t kErrorTextLimit = 254;

// Word reported an exception for the call; carries Word's description.
class WordError : public std::exception {
 public:
  explicit WordError(std::wstring_view text) : text_(text.substr(0, kErrorTextLimit)) {}
  const std::wstring& Text() const { return text_; }
  const char* what() const noexcept override { return "Word reported an exception"; }

 private:
  std::wstring text_;
};

// The call failed otherwise (server gone, member or argument refused, a call that does not
// match the member table); carries the system's text for the code.
class CallError : public std::exception {
 public:
  CallError(std::uint32_t code, std::wstring_view text)
      : code_(code), text_(text.substr(0, kErrorTextLimit)) {}
  std::uint32_t Code() const { return code_; }
  const std::wstring& Text() const { return text_; }
  const char* what() const noexcept override { return "Word call failed"; }

 private:
  std::uint32_t code_;
  std::wstring text_;
};

// What a call gives back, and the shapes of its parameters.
enum class ResultType : std::uint8_t { None, I4, String, Object, Value };
enum class ParamType : std::uint8_t {
  I4,        // 32-bit integer by value
  Bool,      // boolean by value
  Value,     // untyped value by value
  ValueRef,  // untyped value by reference
};

struct WordResult {
  std::int32_t integer = 0;   // ResultType::I4
  std::wstring text;          // ResultType::String
  WordObject object;          // ResultType::Object; may be empty
  automation::Variant value;  // ResultType::Value, as the server gave it
};

// Calls one member of target. Arguments come in declaration order. The call must match a row
// of the member table (target's kind, dispid, kind, parameter and result types); a mismatch is
// a CallError. A returned object comes back as a new handle of the row's result kind.
// Throws WordError or CallError on failure.
WordResult InvokeMember(const WordObject& target, std::int32_t dispid, automation::InvokeKind kind,
                        ResultType result, std::span<const ParamType> params,
                        std::span<const automation::Variant> args);

}  // namespace engine
