#include "engine/word_object.h"

#include <string>
#include <vector>

#include "automation/errors.h"
#include "engine/word_members.h"

namespace engine {

using automation::Variant;
using automation::VarType;

const Variant ArgTrue = Variant::I2(1).ByRef();
const Variant ArgFalse = Variant::I2(0).ByRef();
const Variant ArgOmitted = Variant::ErrorCode(automation::kParamNotFound);

namespace {

constexpr std::uint32_t kInvalidPointer = 0x80004003u;  // E_POINTER

std::wstring Describe(ObjectKind object, std::int32_t dispid, automation::InvokeKind kind) {
  return std::wstring(ObjectKindName(object)) + L" member " + std::to_wstring(dispid) + L" (kind " +
         std::to_wstring(static_cast<int>(kind)) + L")";
}

[[noreturn]] void Mismatch(const std::wstring& call, std::wstring_view what) {
  throw CallError(automation::codes::kBadParamCount,
                  L"Call does not match the member table: " + call + L": " + std::wstring(what));
}

bool ArgumentFits(ParamType type, const Variant& arg) {
  switch (type) {
    case ParamType::I4:
      return arg.type == VarType::I4 && !arg.byRef;
    case ParamType::Bool:
      return arg.type == VarType::Bool && !arg.byRef;
    case ParamType::Value:
      return !arg.byRef;
    case ParamType::ValueRef:
      return true;
  }
  return false;
}

// The result as the caller expects it, converted the way the automation client converts.
WordResult Convert(Variant value, ResultType result, ObjectKind resultKind) {
  WordResult out;
  switch (result) {
    case ResultType::None:
      break;
    case ResultType::I4:
      switch (value.type) {
        case VarType::Empty:
          break;
        case VarType::I2:
        case VarType::I4:
        case VarType::UI1:
        case VarType::Bool:
          out.integer = static_cast<std::int32_t>(value.integer);
          break;
        default:
          throw CallError(automation::codes::kTypeMismatch,
                          automation::SystemMessage(automation::codes::kTypeMismatch));
      }
      break;
    case ResultType::String:
      if (value.type == VarType::String)
        out.text = std::move(value.text);
      else if (value.type != VarType::Empty)
        throw CallError(automation::codes::kTypeMismatch,
                        automation::SystemMessage(automation::codes::kTypeMismatch));
      break;
    case ResultType::Object:
      if (value.type == VarType::Object)
        out.object = WordObject(std::move(value.object), resultKind);
      else if (value.type == VarType::Empty || value.type == VarType::Null)
        out.object = WordObject(resultKind);
      else
        throw CallError(automation::codes::kTypeMismatch,
                        automation::SystemMessage(automation::codes::kTypeMismatch));
      break;
    case ResultType::Value:
      out.value = std::move(value);
      break;
  }
  return out;
}

}  // namespace

std::wstring_view ObjectKindName(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::None:
      return L"(no kind)";
    case ObjectKind::Application:
      return L"Application";
    case ObjectKind::Documents:
      return L"Documents";
    case ObjectKind::Document:
      return L"Document";
    case ObjectKind::Window:
      return L"Window";
    case ObjectKind::View:
      return L"View";
    case ObjectKind::DocumentProperties:
      return L"DocumentProperties";
    case ObjectKind::DocumentProperty:
      return L"DocumentProperty";
    case ObjectKind::Selection:
      return L"Selection";
    case ObjectKind::Range:
      return L"Range";
    case ObjectKind::Paragraphs:
      return L"Paragraphs";
    case ObjectKind::Paragraph:
      return L"Paragraph";
    case ObjectKind::Sentences:
      return L"Sentences";
    case ObjectKind::Tables:
      return L"Tables";
    case ObjectKind::Table:
      return L"Table";
    case ObjectKind::Fields:
      return L"Fields";
    case ObjectKind::Field:
      return L"Field";
    case ObjectKind::Hyperlinks:
      return L"Hyperlinks";
    case ObjectKind::Hyperlink:
      return L"Hyperlink";
    case ObjectKind::TablesOfContents:
      return L"TablesOfContents";
    case ObjectKind::TableOfContents:
      return L"TableOfContents";
    case ObjectKind::Bookmarks:
      return L"Bookmarks";
    case ObjectKind::Bookmark:
      return L"Bookmark";
  }
  return L"(unknown)";
}

WordResult InvokeMember(const WordObject& target, std::int32_t dispid, automation::InvokeKind kind,
                        ResultType result, std::span<const ParamType> params,
                        std::span<const Variant> args) {
  std::wstring call = Describe(target.Kind(), dispid, kind);
  const MemberRow* row = FindRow(target.Kind(), dispid, kind);
  if (row == nullptr)
    Mismatch(call, L"no such row");
  if (row->result != result)
    Mismatch(call, L"result type");
  auto expected = row->params.Span();
  if (params.size() != expected.size() ||
      !std::equal(params.begin(), params.end(), expected.begin()))
    Mismatch(call, L"parameter types");
  if (args.size() != params.size())
    Mismatch(call, L"number of arguments");
  std::vector<Variant> packed(args.begin(), args.end());
  for (std::size_t i = 0; i < packed.size(); ++i) {
    if (!ArgumentFits(params[i], packed[i]))
      Mismatch(call, L"argument " + std::to_wstring(i + 1));
    packed[i].byRef = params[i] == ParamType::ValueRef;
  }
  if (target.Empty())
    throw CallError(kInvalidPointer, L"Invalid pointer\r\n");

  Variant value;
  try {
    value = target.Dispatch()->Invoke(dispid, kind, packed);
  } catch (const automation::ServerException& e) {
    throw WordError(e.Description());
  } catch (const automation::CallFailure& e) {
    throw CallError(e.Code(), e.Text());
  }
  return Convert(std::move(value), result, row->resultKind);
}

}  // namespace engine
