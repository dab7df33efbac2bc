#include "automation/com/com_dispatch.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "automation/com/apartment.h"
#include "automation/create_object.h"
#include "automation/errors.h"

namespace {

using automation::CallFailure;
using automation::DispatchPtr;
using automation::InvokeKind;
using automation::ServerException;
using automation::Variant;
using automation::VarType;
using automation::com::ComDispatch;

// Members of the test object.
constexpr DISPID kEcho = 1;          // returns its last received argument (the first declared)
constexpr DISPID kChild = 2;         // a new object; with any argument, no object
constexpr DISPID kFillLater = 3;     // an exception whose text is filled in on request
constexpr DISPID kFailNow = 4;       // an exception with its text at once
constexpr DISPID kSilentThrow = 5;   // an exception without any text
constexpr DISPID kNoSuchMember = 6;  // not a member

int liveObjects = 0;

// How an argument reached the object: type, by-reference mark and value.
std::wstring Describe(const VARIANT& v) {
  const bool byRef = (V_VT(&v) & VT_BYREF) != 0;
  VARIANT plain;
  VariantInit(&plain);
  VariantCopyInd(&plain, const_cast<VARIANT*>(&v));
  std::wstring text;
  wchar_t number[64];
  switch (V_VT(&plain)) {
    case VT_EMPTY:
      text = L"EMPTY";
      break;
    case VT_I2:
      text = L"I2 " + std::to_wstring(V_I2(&plain));
      break;
    case VT_I4:
      text = L"I4 " + std::to_wstring(V_I4(&plain));
      break;
    case VT_BOOL:
      text = L"BOOL " + std::to_wstring(V_BOOL(&plain));
      break;
    case VT_ERROR:
      std::swprintf(number, 64, L"ERROR %08X", static_cast<unsigned>(V_ERROR(&plain)));
      text = number;
      break;
    case VT_BSTR:
      text = L"BSTR " + std::to_wstring(SysStringLen(V_BSTR(&plain))) + L":" +
             std::wstring(V_BSTR(&plain), SysStringLen(V_BSTR(&plain)));
      break;
    case VT_DISPATCH:
      text = L"DISPATCH";
      break;
    default:
      text = L"VT " + std::to_wstring(V_VT(&plain));
  }
  VariantClear(&plain);
  return byRef ? L"&" + text : text;
}

HRESULT STDAPICALLTYPE FillLater(EXCEPINFO* exception) {
  exception->bstrDescription = SysAllocString(L"文档 is locked");
  exception->pfnDeferredFillIn = nullptr;
  return S_OK;
}

// COM objects end through Release, never through a destructor of their interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// An in-process automation object that records the calls reaching it.
class TestObject final : public IDispatch {
 public:
  struct Call {
    DISPID dispid;
    WORD flags;
    std::vector<DISPID> named;
    std::vector<std::wstring> args;  // as received: the last declared first
    bool wantsResult;
  };

  TestObject() { ++liveObjects; }
  TestObject(const TestObject&) = delete;
  TestObject& operator=(const TestObject&) = delete;

  std::vector<Call> calls;
  IDispatch* lastObjectArgument = nullptr;

  ULONG References() const { return references_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) {
      --liveObjects;
      delete this;
    }
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT*) override {
    Call call{dispid, flags, {}, {}, result != nullptr};
    for (UINT i = 0; i < params->cNamedArgs; ++i)
      call.named.push_back(params->rgdispidNamedArgs[i]);
    for (UINT i = 0; i < params->cArgs; ++i) {
      call.args.push_back(Describe(params->rgvarg[i]));
      if (V_VT(&params->rgvarg[i]) == VT_DISPATCH)
        lastObjectArgument = V_DISPATCH(&params->rgvarg[i]);
    }
    calls.push_back(call);
    switch (dispid) {
      case kEcho:
        if (params->cArgs > 0 && result != nullptr)
          return VariantCopyInd(result, &params->rgvarg[0]);
        return S_OK;
      case kChild:
        V_VT(result) = VT_DISPATCH;
        V_DISPATCH(result) = nullptr;
        if (params->cArgs == 0) {
          V_DISPATCH(result) = new TestObject;
          V_DISPATCH(result)->AddRef();
        }
        return S_OK;
      case kFillLater:
        *exception = EXCEPINFO{};
        exception->bstrSource = SysAllocString(L"Test");
        exception->pfnDeferredFillIn = FillLater;
        exception->scode = DISP_E_EXCEPTION;
        return DISP_E_EXCEPTION;
      case kFailNow:
        *exception = EXCEPINFO{};
        exception->bstrDescription = SysAllocString(L"The document is read-only.");
        exception->bstrHelpFile = SysAllocString(L"help.chm");
        exception->scode = E_FAIL;
        return DISP_E_EXCEPTION;
      case kSilentThrow:
        *exception = EXCEPINFO{};
        exception->scode = DISP_E_TYPEMISMATCH;
        return DISP_E_EXCEPTION;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  ULONG references_ = 0;
};

#pragma GCC diagnostic pop

class ComClient : public ::testing::Test {
 protected:
  void SetUp() override {
    object_ = new TestObject;
    object_->AddRef();  // the test's own reference
    client_ = automation::com::Wrap(object_);
  }
  void TearDown() override {
    client_.reset();
    ASSERT_EQ(object_->References(), 1u);
    object_->Release();
    EXPECT_EQ(liveObjects, 0);
  }

  const TestObject::Call& LastCall() const { return object_->calls.back(); }

  automation::com::Apartment apartment_;
  TestObject* object_ = nullptr;
  DispatchPtr client_;
};

TEST_F(ComClient, ArgumentsArriveLastFirstWithTheirTypes) {
  // The shapes the engine uses: Quit(ArgFalse, ArgOmitted, ArgOmitted), an Open-like call.
  const Variant argFalse = Variant::I2(0).ByRef();
  const Variant argTrue = Variant::I2(1).ByRef();
  const Variant omitted = Variant::ErrorCode(automation::kParamNotFound);
  const Variant args[] = {
      Variant::String(std::wstring(L"C:\\in 文档\\a\0b.doc", 16)).ByRef(),
      argFalse,
      argTrue,
      omitted.ByRef(),
      Variant::I4(-7),
      Variant::Bool(true),
      Variant::Empty().ByRef(),
  };
  client_->Invoke(kEcho, InvokeKind::Method, args);
  const auto& call = LastCall();
  EXPECT_EQ(call.flags, DISPATCH_METHOD);
  EXPECT_TRUE(call.named.empty());
  EXPECT_TRUE(call.wantsResult);
  // An omitted argument goes by value even where the member takes a reference: servers only
  // recognise it that way.
  EXPECT_EQ(call.args, (std::vector<std::wstring>{
                           L"&EMPTY", L"BOOL -1", L"I4 -7", L"ERROR 80020004", L"&I2 1", L"&I2 0",
                           std::wstring(L"&BSTR 16:C:\\in 文档\\a\0b.doc", 25)}));
}

TEST_F(ComClient, InvocationKindsAndThePutValue) {
  client_->Invoke(kEcho, InvokeKind::PropertyPut, std::vector{Variant::Bool(false)});
  EXPECT_EQ(LastCall().flags, DISPATCH_PROPERTYPUT);
  EXPECT_FALSE(LastCall().wantsResult);
  EXPECT_EQ(LastCall().named, std::vector<DISPID>{DISPID_PROPERTYPUT});
  EXPECT_EQ(LastCall().args, std::vector<std::wstring>{L"BOOL 0"});

  client_->Invoke(kEcho, InvokeKind::PropertyGet, {});
  EXPECT_EQ(LastCall().flags, DISPATCH_PROPERTYGET);
  EXPECT_TRUE(LastCall().named.empty());
  EXPECT_TRUE(LastCall().args.empty());

  client_->Invoke(kEcho, InvokeKind::MethodOrGet, std::vector{Variant::I4(12)});
  EXPECT_EQ(LastCall().flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
}

TEST_F(ComClient, ValuesComeBackUnchanged) {
  const Variant values[] = {
      Variant::Empty(),
      Variant::Null(),
      Variant::I2(-32768),
      Variant::I4(2147483647),
      Variant::UI1(255),
      Variant::R4(0.5f),
      Variant::R8(-1.25e300),
      Variant::CurrencyUnits(-123456789012345),
      Variant::Date(45000.75),  // a time of last save
      Variant::String(L""),
      Variant::String(std::wstring(L"报告\0отчёт \U0001F600", 11)),
      Variant::Bool(true),
      Variant::Bool(false),
      Variant::ErrorCode(automation::kParamNotFound),
      Variant::I2(1).ByRef(),
      Variant::String(L"by reference").ByRef(),
  };
  for (const Variant& value : values) {
    const Variant back = client_->Invoke(kEcho, InvokeKind::Method, std::span(&value, 1));
    const auto index = &value - values;
    EXPECT_EQ(back.type, value.type) << index;
    EXPECT_FALSE(back.byRef) << index;
    EXPECT_EQ(back.integer, value.integer) << index;
    EXPECT_EQ(back.real, value.real) << index;
    EXPECT_EQ(back.text, value.text) << index;
  }
}

TEST_F(ComClient, ObjectsHoldTheirOwnReference) {
  Variant child = client_->Invoke(kChild, InvokeKind::PropertyGet, {});
  ASSERT_EQ(child.type, VarType::Object);
  ASSERT_TRUE(child.object);
  EXPECT_EQ(liveObjects, 2);
  auto* childObject = static_cast<TestObject*>(dynamic_cast<ComDispatch&>(*child.object).Get());
  EXPECT_EQ(childObject->References(), 1u);

  // Handed back to a server as an argument, and copied: still the one reference afterwards.
  DispatchPtr copy = child.object;
  client_->Invoke(kEcho, InvokeKind::Method, std::vector{Variant::Object(copy)});
  EXPECT_EQ(object_->lastObjectArgument, childObject);
  EXPECT_EQ(childObject->References(), 1u);

  child = Variant::Empty();
  EXPECT_EQ(liveObjects, 2);
  copy.reset();
  EXPECT_EQ(liveObjects, 1);

  // A member with no object to give: an empty handle, not an error.
  Variant none = client_->Invoke(kChild, InvokeKind::Method, std::vector{Variant::I4(1)});
  EXPECT_EQ(none.type, VarType::Object);
  EXPECT_FALSE(none.object);
}

TEST_F(ComClient, OnlyComObjectsCanBeArguments) {
  struct Local : automation::Dispatch {
    Variant Invoke(std::int32_t, InvokeKind, std::span<const Variant>) override { return {}; }
  };
  const Variant args[] = {Variant::String(L"freed"), Variant::Object(std::make_shared<Local>())};
  try {
    client_->Invoke(kEcho, InvokeKind::Method, args);
    FAIL() << "no failure";
  } catch (const CallFailure& failure) {
    EXPECT_EQ(failure.Code(), automation::codes::kTypeMismatch);
  }
  EXPECT_TRUE(object_->calls.empty());
}

TEST_F(ComClient, ServerExceptionsCarryTheServersText) {
  struct Case {
    DISPID dispid;
    std::wstring description;
  };
  const Case cases[] = {
      {kFillLater, L"文档 is locked"},
      {kFailNow, L"The document is read-only."},
      {kSilentThrow, automation::SystemMessage(automation::codes::kTypeMismatch)},
  };
  for (const Case& c : cases) {
    try {
      client_->Invoke(c.dispid, InvokeKind::Method, {});
      ADD_FAILURE() << "no exception from " << c.dispid;
    } catch (const ServerException& exception) {
      EXPECT_EQ(exception.Description(), c.description);
    }
  }
}

TEST_F(ComClient, OtherFailuresCarryTheSystemsText) {
  try {
    client_->Invoke(kNoSuchMember, InvokeKind::Method, std::vector{Variant::String(L"x")});
    FAIL() << "no failure";
  } catch (const CallFailure& failure) {
    EXPECT_EQ(failure.Code(), automation::codes::kMemberNotFound);
    EXPECT_EQ(failure.Text(), automation::SystemMessage(automation::codes::kMemberNotFound));
    EXPECT_NE(failure.Text().find(L"not found"), std::wstring::npos) << failure.Text();
  }
}

TEST(ComServer, WordIsNotInstalledHere) {
  automation::com::Apartment apartment;
  try {
    automation::CreateObject(L"Word.Application");
    FAIL() << "a Word server exists";
  } catch (const CallFailure& failure) {
    EXPECT_EQ(failure.Code(), automation::codes::kInvalidClassString);
    EXPECT_FALSE(failure.Text().empty());
  }
}

APTTYPE ApartmentType() {
  APTTYPE type{};
  APTTYPEQUALIFIER qualifier{};
  return SUCCEEDED(CoGetApartmentType(&type, &qualifier)) ? type : APTTYPE_CURRENT;
}

TEST(ComApartment, OneSingleThreadedApartmentPerWorker) {
  std::thread worker([] {
    EXPECT_EQ(ApartmentType(), APTTYPE_CURRENT);  // none yet
    {
      automation::com::Apartment outer;
      EXPECT_TRUE(outer.Entered());
      APTTYPE type = ApartmentType();
      EXPECT_TRUE(type == APTTYPE_STA || type == APTTYPE_MAINSTA) << type;
      {
        automation::com::Apartment inner;  // nested: balanced on its own
        EXPECT_TRUE(inner.Entered());
      }
      type = ApartmentType();
      EXPECT_TRUE(type == APTTYPE_STA || type == APTTYPE_MAINSTA) << type;
    }
    EXPECT_EQ(ApartmentType(), APTTYPE_CURRENT);
  });
  worker.join();

  // A thread already in the multi-threaded apartment is left as it was.
  std::thread other([] {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    {
      automation::com::Apartment guard;
      EXPECT_FALSE(guard.Entered());
    }
    EXPECT_EQ(ApartmentType(), APTTYPE_MTA);
    CoUninitialize();
  });
  other.join();
}

}  // namespace
