#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/errors.h"
#include "engine/word_members.h"
#include "engine/word_object.h"

namespace {

using automation::InvokeKind;
using automation::Variant;
using automation::VarType;
using engine::CallError;
using engine::Member;
using engine::ObjectKind;
using engine::ParamType;
using engine::ResultType;
using engine::WordError;
using engine::WordObject;

// Answers every call with one scripted value or failure and remembers the arguments.
class Scripted : public automation::Dispatch {
 public:
  Variant answer;
  int calls = 0;
  std::vector<Variant> lastArgs;
  std::function<void()> fail;
  Variant Invoke(std::int32_t, InvokeKind, std::span<const Variant> args) override {
    ++calls;
    lastArgs.assign(args.begin(), args.end());
    if (fail)
      fail();
    return answer;
  }
};

struct CallTest : ::testing::Test {
  std::shared_ptr<Scripted> server = std::make_shared<Scripted>();
  WordObject Of(ObjectKind kind) { return WordObject(server, kind); }
};

TEST_F(CallTest, RefusesCallsThatMatchNoRowWithoutReachingTheServer) {
  const ParamType i4[] = {ParamType::I4};
  const ParamType ref2[] = {ParamType::ValueRef, ParamType::ValueRef};
  const Variant one[] = {Variant::I4(1)};
  const Variant text[] = {Variant::String(L"1")};
  const Variant byRef[] = {Variant::I4(1).ByRef()};
  struct Case {
    const char* what;
    ObjectKind target;
    std::int32_t dispid;
    InvokeKind kind;
    ResultType result;
    std::span<const ParamType> params;
    std::span<const Variant> args;
  };
  const Case cases[] = {
      {"member of another object", ObjectKind::Selection, 178, InvokeKind::Method, ResultType::I4,
       i4, one},
      {"unknown member", ObjectKind::Range, 999, InvokeKind::Method, ResultType::None, {}, {}},
      {"get called as method", ObjectKind::Range, 3, InvokeKind::Method, ResultType::I4, {}, {}},
      {"result type", ObjectKind::Range, 178, InvokeKind::Method, ResultType::Value, i4, one},
      {"parameter types", ObjectKind::Range, 178, InvokeKind::Method, ResultType::I4, ref2, one},
      {"argument count", ObjectKind::Range, 178, InvokeKind::Method, ResultType::I4, i4, {}},
      {"text for an integer", ObjectKind::Range, 178, InvokeKind::Method, ResultType::I4, i4, text},
      {"integer by reference for a value", ObjectKind::Range, 178, InvokeKind::Method,
       ResultType::I4, i4, byRef},
      {"handle without kind", ObjectKind::None, 178, InvokeKind::Method, ResultType::I4, i4, one},
  };
  for (const auto& c : cases) {
    EXPECT_THROW(engine::InvokeMember(Of(c.target), c.dispid, c.kind, c.result, c.params, c.args),
                 CallError)
        << c.what;
  }
  EXPECT_THROW(engine::CallObject(Member::RangeStatistics, Of(ObjectKind::Range), {Variant::I4(2)}),
               CallError);
  EXPECT_THROW(
      engine::CallI4(Member::ApplicationVisible, Of(ObjectKind::Application), {Variant::I4(0)}),
      CallError);
  EXPECT_EQ(server->calls, 0);
}

TEST_F(CallTest, PacksArgumentsByTheirParameterTypes) {
  engine::Call(Member::ApplicationQuit, Of(ObjectKind::Application),
               {engine::ArgFalse, engine::ArgOmitted, Variant::I4(7)});
  ASSERT_EQ(server->lastArgs.size(), 3u);
  EXPECT_EQ(server->lastArgs[0].type, VarType::I2);
  EXPECT_EQ(server->lastArgs[0].integer, 0);
  EXPECT_TRUE(server->lastArgs[0].byRef);
  EXPECT_EQ(server->lastArgs[1].type, VarType::Error);
  EXPECT_EQ(server->lastArgs[1].integer, 0x80020004);
  EXPECT_TRUE(server->lastArgs[2].byRef);  // an integer built on the spot, passed by reference

  engine::Call(Member::ApplicationVisible, Of(ObjectKind::Application), {Variant::Bool(false)});
  EXPECT_EQ(server->lastArgs[0].type, VarType::Bool);
  EXPECT_FALSE(server->lastArgs[0].byRef);

  EXPECT_EQ(engine::ArgTrue.type, VarType::I2);
  EXPECT_EQ(engine::ArgTrue.integer, 1);
  EXPECT_TRUE(engine::ArgTrue.byRef);
  EXPECT_TRUE(engine::ArgOmitted.IsOmitted());
}

TEST_F(CallTest, ConvertsResultsAndWrapsObjectsOfTheRowsKind) {
  server->answer = Variant::Bool(true);
  EXPECT_EQ(engine::CallI4(Member::ParagraphsFormatFlag, Of(ObjectKind::Paragraphs)), -1);
  server->answer = Variant::I2(3);
  EXPECT_EQ(engine::CallI4(Member::RangeStart, Of(ObjectKind::Range)), 3);
  server->answer = Variant::String(L"text");
  EXPECT_EQ(engine::CallString(Member::RangeText, Of(ObjectKind::Range)), L"text");
  EXPECT_THROW(engine::CallI4(Member::RangeStart, Of(ObjectKind::Range)), CallError);

  auto child = std::make_shared<Scripted>();
  server->answer = Variant::Object(child);
  WordObject sentences = engine::CallObject(Member::RangeSentences, Of(ObjectKind::Range));
  EXPECT_EQ(sentences.Dispatch(), child);
  EXPECT_EQ(sentences.Kind(), ObjectKind::Sentences);
  WordObject copy = sentences;  // a copy holds its own reference
  sentences.Release();
  EXPECT_EQ(copy.Dispatch(), child);

  // No object is an empty handle, not an error; calling on it is an error.
  server->answer = Variant::Empty();
  WordObject next = engine::CallObject(Member::RangeNext, Of(ObjectKind::Range),
                                       {Variant::I4(3), Variant::I4(1)});
  EXPECT_TRUE(next.Empty());
  EXPECT_EQ(next.Kind(), ObjectKind::Range);
  int before = server->calls;
  EXPECT_THROW(engine::CallI4(Member::RangeStart, next), CallError);
  EXPECT_EQ(server->calls, before);

  // A value holding an object becomes a handle of the row's kind.
  server->answer = Variant::Object(child);
  Variant item = engine::CallValue(Member::PropertiesItem, Of(ObjectKind::DocumentProperties),
                                   {Variant::I4(12)});
  WordObject property =
      engine::ObjectFromValue(item, engine::Row(Member::PropertiesItem).resultKind);
  EXPECT_EQ(property.Kind(), ObjectKind::DocumentProperty);
  EXPECT_FALSE(property.Empty());
}

TEST_F(CallTest, MapsServerFailuresToTheTwoErrorsWithTextsCut) {
  std::wstring longText(300, L'x');
  server->fail = [&] { throw automation::ServerException(longText); };
  try {
    engine::Call(Member::RangeWholeStory, Of(ObjectKind::Range));
    ADD_FAILURE();
  } catch (const WordError& e) {
    EXPECT_EQ(e.Text(), std::wstring(254, L'x'));
  }
  server->fail = [] { throw automation::CallFailure(automation::codes::kMemberNotFound); };
  try {
    engine::Call(Member::RangeWholeStory, Of(ObjectKind::Range));
    ADD_FAILURE();
  } catch (const CallError& e) {
    EXPECT_EQ(e.Code(), automation::codes::kMemberNotFound);
    EXPECT_EQ(e.Text(), automation::SystemMessage(automation::codes::kMemberNotFound));
  }
}

}  // namespace
