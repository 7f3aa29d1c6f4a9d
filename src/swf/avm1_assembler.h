#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tdwk::swf {

// AVM1 push values.
struct Null {};
struct Undefined {};
struct Register {
  std::uint8_t number = 0;
};
using PushValue = std::variant<std::string, std::int32_t, double, bool, Null, Undefined, Register>;

// A parameter of DefineFunction2: kept in a register (1..255) or, with register 0, by name.
struct FunctionParam {
  std::uint8_t reg = 0;
  std::string name;
};

namespace function_flag {
constexpr std::uint16_t kPreloadThis = 0x0001;
constexpr std::uint16_t kSuppressThis = 0x0002;
constexpr std::uint16_t kPreloadArguments = 0x0004;
constexpr std::uint16_t kSuppressArguments = 0x0008;
constexpr std::uint16_t kPreloadSuper = 0x0010;
constexpr std::uint16_t kSuppressSuper = 0x0020;
constexpr std::uint16_t kPreloadRoot = 0x0040;
constexpr std::uint16_t kPreloadParent = 0x0080;
constexpr std::uint16_t kPreloadGlobal = 0x0100;
}  // namespace function_flag

// Builds AVM1 action records. Jumps name labels; offsets are resolved by Finish. The code
// returned has no end flag: DoAction and button actions append it.
class Assembler {
 public:
  struct Label {
    int id = -1;
  };

  // The player makes a new string each time a text is pushed, but makes a pooled text once,
  // when the code starts. Code that runs every frame pools its texts, so as to leave no
  // garbage behind it. The functions it defines keep the pool (SWF 5 and later).
  enum class Texts { kInline, kPooled };
  explicit Assembler(Texts texts = Texts::kInline) : pooled_(texts == Texts::kPooled) {}

  Label NewLabel();
  // Binds a label to the current position; a label is bound once.
  void Bind(Label label);

  Assembler& Push(std::initializer_list<PushValue> values);
  Assembler& Push(PushValue value) { return Push({std::move(value)}); }

  // Stack operations without operands.
  Assembler& GetVariable() { return Op(0x1C); }
  Assembler& SetVariable() { return Op(0x1D); }
  Assembler& GetMember() { return Op(0x4E); }
  Assembler& SetMember() { return Op(0x4F); }
  Assembler& CallMethod() { return Op(0x52); }
  Assembler& CallFunction() { return Op(0x3D); }
  Assembler& NewObject() { return Op(0x40); }
  Assembler& NewMethod() { return Op(0x53); }
  Assembler& InitObject() { return Op(0x43); }
  Assembler& InitArray() { return Op(0x42); }
  Assembler& DefineLocal() { return Op(0x3C); }
  Assembler& Return() { return Op(0x3E); }
  Assembler& Pop() { return Op(0x17); }
  Assembler& PushDuplicate() { return Op(0x4C); }
  Assembler& StackSwap() { return Op(0x4D); }
  Assembler& Add2() { return Op(0x47); }
  Assembler& Subtract() { return Op(0x0B); }
  Assembler& Multiply() { return Op(0x0C); }
  Assembler& Divide() { return Op(0x0D); }
  Assembler& Modulo() { return Op(0x3F); }
  Assembler& Increment() { return Op(0x50); }
  Assembler& Decrement() { return Op(0x51); }
  Assembler& Equals2() { return Op(0x49); }
  Assembler& StrictEquals() { return Op(0x66); }
  Assembler& Less2() { return Op(0x48); }
  Assembler& Greater() { return Op(0x67); }
  Assembler& Not() { return Op(0x12); }
  Assembler& StringAdd() { return Op(0x21); }
  Assembler& ToNumber() { return Op(0x4A); }
  Assembler& ToString() { return Op(0x4B); }
  Assembler& ToInteger() { return Op(0x18); }
  Assembler& TypeOf() { return Op(0x44); }
  Assembler& RandomNumber() { return Op(0x30); }
  Assembler& GetTime() { return Op(0x34); }
  Assembler& Trace() { return Op(0x26); }
  // Target path and property index from the stack (0 _x, 1 _y, 4 _currentframe, 7 _visible).
  Assembler& GetProperty() { return Op(0x22); }
  Assembler& SetProperty() { return Op(0x23); }
  Assembler& Play() { return Op(0x06); }
  Assembler& Stop() { return Op(0x07); }
  Assembler& NextFrame() { return Op(0x04); }
  Assembler& PrevFrame() { return Op(0x05); }

  // Operations with operands.
  Assembler& GotoFrame(std::uint16_t zeroBasedFrame);
  Assembler& GotoLabel(std::string_view label);
  // Frame (1-based number or label) from the stack; plays when asked, stops otherwise.
  Assembler& GotoFrame2(bool play);
  Assembler& GetUrl(std::string_view url, std::string_view target);
  // URL and target from the stack. Flags: send-vars method in bits 7-6, load target bit 1,
  // load variables bit 0.
  Assembler& GetUrl2(std::uint8_t flags);
  Assembler& SetTarget(std::string_view target);
  Assembler& StoreRegister(std::uint8_t reg);
  Assembler& Jump(Label target);
  // Pops a condition; jumps when it is true.
  Assembler& If(Label target);

  // A movie command to the host, with constant texts.
  Assembler& FsCommand(std::string_view command, std::string_view argument);
  // A movie command whose argument is the value on top of the stack.
  Assembler& FsCommandWithStackArgument(std::string_view command);

  // Function bodies: every action up to the matching EndFunction. Labels may not cross a
  // function's boundary.
  Assembler& BeginFunction(std::string_view name, const std::vector<std::string>& params);
  Assembler& BeginFunction2(std::string_view name, const std::vector<FunctionParam>& params,
                            std::uint8_t registerCount, std::uint16_t flags);
  Assembler& EndFunction();

  // The assembled code. std::logic_error for an unbound label, an open function or a jump
  // that does not fit 16 bits.
  std::string Finish() const;

 private:
  Assembler& Op(std::uint8_t code);
  void Record(std::uint8_t code, std::string_view payload);
  int CurrentScope() const { return scopes_.empty() ? -1 : scopes_.back(); }

  struct Fixup {
    std::size_t at = 0;  // position of the 16-bit offset field
    int label = 0;
    int scope = -1;
  };
  struct LabelInfo {
    std::size_t position = 0;
    bool bound = false;
    int scope = -1;
  };
  // The pool's index of a text, added if new.
  std::uint16_t PoolIndex(const std::string& text);

  bool pooled_ = false;
  std::vector<std::string> pool_;
  std::string code_;
  std::vector<LabelInfo> labels_;
  std::vector<Fixup> fixups_;
  std::vector<std::size_t> functionSizeFields_;
  std::vector<int> scopes_;
  int nextScope_ = 0;
};

}  // namespace tdwk::swf
