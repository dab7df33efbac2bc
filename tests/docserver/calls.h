#pragma once
// Short calls on the built-in server's objects for the tests.

#include <initializer_list>
#include <string>
#include <vector>

#include "automation/dispatch.h"
#include "automation/variant.h"
#include "docserver/server.h"

namespace docserver::test {

using automation::DispatchPtr;
using automation::InvokeKind;
using automation::Variant;

inline Variant Omitted() {
  return Variant::ErrorCode(automation::kParamNotFound).ByRef();
}

inline Variant Call(const DispatchPtr& o, int id, std::initializer_list<Variant> args = {},
                    InvokeKind kind = InvokeKind::Method) {
  std::vector<Variant> v(args);
  return o->Invoke(id, kind, v);
}
inline Variant Get(const DispatchPtr& o, int id) {
  return Call(o, id, {}, InvokeKind::PropertyGet);
}
inline DispatchPtr Obj(const DispatchPtr& o, int id) {
  return Get(o, id).object;
}
inline int Int(const DispatchPtr& o, int id) {
  return static_cast<int>(Get(o, id).integer);
}
inline void Put(const DispatchPtr& o, int id, Variant v) {
  Call(o, id, {v}, InvokeKind::PropertyPut);
}
inline std::wstring Text(const DispatchPtr& range) {
  return Get(range, 0).text;
}

// Opens a document the way the readers and exports do: path, confirm, read-only, 13 omitted.
inline DispatchPtr Open(const DispatchPtr& app, const std::wstring& path, bool readOnly = true) {
  std::vector<Variant> args{Variant::String(path).ByRef(), Omitted(),
                            readOnly ? Variant::I2(1).ByRef() : Omitted()};
  while (args.size() < 16)
    args.push_back(Omitted());
  return Obj(app, 6)->Invoke(19, InvokeKind::Method, args).object;
}

inline int PageCount(const DispatchPtr& doc) {
  return static_cast<int>(Call(doc, 118, {Variant::I4(2), Variant::I2(0).ByRef()}).integer);
}

inline void SaveAs(const DispatchPtr& doc, const std::wstring& path, int format) {
  std::vector<Variant> args{Variant::String(path).ByRef(), Variant::I4(format).ByRef()};
  while (args.size() < 16)
    args.push_back(Omitted());
  doc->Invoke(376, InvokeKind::Method, args);
}

}  // namespace docserver::test
