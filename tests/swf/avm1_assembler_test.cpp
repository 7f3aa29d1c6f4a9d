#include "swf/avm1_assembler.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "bytes.h"

namespace tdwk::swf {
namespace {

using test::Hex;
using test::ToHex;

TEST(AssemblerTest, ForwardJumpCountsFromTheEndOfTheJump) {
  Assembler a;
  auto over = a.NewLabel();
  a.Jump(over).Stop();
  a.Bind(over);
  a.Play();
  EXPECT_EQ(ToHex(a.Finish()), "99 02 00 01 00 07 06");
}

TEST(AssemblerTest, BackwardJumpIsNegative) {
  Assembler a;
  auto top = a.NewLabel();
  a.Bind(top);
  a.Play().Jump(top);
  EXPECT_EQ(ToHex(a.Finish()), "06 99 02 00 FA FF");
}

TEST(AssemblerTest, IfAndJumpToTheSameLabelAndToTheEnd) {
  Assembler a;
  auto end = a.NewLabel();
  a.Push(true).If(end).Stop().Jump(end);
  a.Bind(end);
  // If at 5 ends at 10, the label is at 16: +6; Jump ends at 16: +0.
  EXPECT_EQ(ToHex(a.Finish()), "96 02 00 05 01 9D 02 00 06 00 07 99 02 00 00 00");
}

TEST(AssemblerTest, PushesEveryKindOfValue) {
  Assembler a;
  a.Push({std::string("a"), 258, 1.5, false, Null{}, Undefined{}, Register{3}});
  EXPECT_EQ(ToHex(a.Finish()), ToHex(Hex("96 17 00") + Hex("00 61 00") + Hex("07 02 01 00 00") +
                                     Hex("06 00 00 F8 3F 00 00 00 00") + Hex("05 00") + Hex("02") +
                                     Hex("03") + Hex("04 03")));
}

TEST(AssemblerTest, PooledTextsArePushedByIndexFromAPoolThatComesFirst) {
  Assembler a{Assembler::Texts::kPooled};
  auto end = a.NewLabel();
  a.Push({std::string("ab"), 1}).If(end).Push(std::string("c")).Push(std::string("ab"));
  a.Bind(end);
  // The jump's offset is unmoved by the pool before it.
  EXPECT_EQ(ToHex(a.Finish()), ToHex(Hex("88 07 00 02 00") + "ab" + Hex("00") + "c" + Hex("00") +
                                     Hex("96 07 00 08 00 07 01 00 00 00 9D 02 00 0A 00") +
                                     Hex("96 02 00 08 01 96 02 00 08 00")));
}

TEST(AssemblerTest, PoolIndexesPast255TakeTwoBytes) {
  Assembler a{Assembler::Texts::kPooled};
  for (int i = 0; i <= 256; ++i) a.Push(std::to_string(i));
  const std::string code = a.Finish();
  EXPECT_EQ(ToHex(code.substr(code.size() - 6)), "96 03 00 09 00 01");
}

TEST(AssemblerTest, RecordsWithOperands) {
  Assembler a;
  a.GotoFrame(3).GotoLabel("x").GotoFrame2(true).GetUrl2(0).SetTarget("_level1").StoreRegister(2);
  EXPECT_EQ(ToHex(a.Finish()),
            "81 02 00 03 00 8C 02 00 78 00 9F 01 00 01 9A 01 00 00 "
            "8B 08 00 5F 6C 65 76 65 6C 31 00 87 01 00 02");
}

TEST(AssemblerTest, FsCommandIsGetUrlWithThePrefix) {
  Assembler a;
  a.FsCommand("vbPickUser", "USER1");
  EXPECT_EQ(a.Finish(), Hex("83 1B 00") + "FSCommand:vbPickUser" + Hex("00") + "USER1" + Hex("00"));
  Assembler dynamic;
  dynamic.Push(7).FsCommandWithStackArgument("vbCheckScores");
  // The argument is pushed first, then the URL, which GetURL2 wants below: swap.
  EXPECT_EQ(dynamic.Finish(), Hex("96 05 00 07 07 00 00 00") + Hex("96 19 00 00") +
                                  "FSCommand:vbCheckScores" + Hex("00") + Hex("4D 9A 01 00 00"));
}

TEST(AssemblerTest, FunctionSizesCoverTheirBodies) {
  Assembler a;
  a.BeginFunction("f", {"a"}).Stop().EndFunction().Play();
  EXPECT_EQ(ToHex(a.Finish()), "9B 08 00 66 00 01 00 61 00 01 00 07 06");

  Assembler b;
  b.BeginFunction2("", {{1, "x"}}, 2, function_flag::kSuppressThis).Push(Register{1});
  b.Return().EndFunction();
  // name, 1 param, 2 registers, flags 0x0002, register 1 "x", body of 6 bytes
  EXPECT_EQ(ToHex(b.Finish()), "8E 0B 00 00 01 00 02 02 00 01 78 00 06 00 96 02 00 04 01 3E");
}

TEST(AssemblerTest, JumpsInsideFunctionsResolve) {
  Assembler a;
  a.BeginFunction("", {});
  auto end = a.NewLabel();
  a.Jump(end).Stop();
  a.Bind(end);
  a.EndFunction();
  EXPECT_EQ(ToHex(a.Finish()), "9B 05 00 00 00 00 06 00 99 02 00 01 00 07");
}

TEST(AssemblerTest, MistakesAreRefused) {
  Assembler unbound;
  unbound.Jump(unbound.NewLabel());
  EXPECT_THROW(unbound.Finish(), std::logic_error);

  Assembler open;
  open.BeginFunction("f", {});
  EXPECT_THROW(open.Finish(), std::logic_error);

  Assembler across;
  auto outside = across.NewLabel();
  across.BeginFunction("f", {}).Jump(outside).EndFunction();
  across.Bind(outside);
  EXPECT_THROW(across.Finish(), std::logic_error);

  Assembler twice;
  auto label = twice.NewLabel();
  twice.Bind(label);
  EXPECT_THROW(twice.Bind(label), std::logic_error);

  Assembler far;
  auto distant = far.NewLabel();
  far.Jump(distant);
  for (int i = 0; i < 40000; ++i) far.Stop();
  far.Bind(distant);
  EXPECT_THROW(far.Finish(), std::logic_error);

  EXPECT_THROW(Assembler().EndFunction(), std::logic_error);
}

}  // namespace
}  // namespace tdwk::swf
