#include "swf/avm1_assembler.h"

#include <algorithm>
#include <stdexcept>

#include "swf/byte_writer.h"

namespace tdwk::swf {

namespace {

void PatchU16(std::string& code, std::size_t at, std::uint16_t value) {
  code[at] = static_cast<char>(value & 0xFF);
  code[at + 1] = static_cast<char>(value >> 8);
}

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;  // clang 14 deduces no aggregate arguments

}  // namespace

Assembler::Label Assembler::NewLabel() {
  labels_.push_back({});
  return Label{static_cast<int>(labels_.size() - 1)};
}

void Assembler::Bind(Label label) {
  LabelInfo& info = labels_.at(static_cast<std::size_t>(label.id));
  if (info.bound) throw std::logic_error("label bound twice");
  info = {code_.size(), true, CurrentScope()};
}

Assembler& Assembler::Op(std::uint8_t code) {
  code_.push_back(static_cast<char>(code));
  return *this;
}

void Assembler::Record(std::uint8_t code, std::string_view payload) {
  if (payload.size() > 0xFFFF) throw std::logic_error("action record too long");
  ByteWriter out;
  out.U8(code);
  out.U16(static_cast<std::uint16_t>(payload.size()));
  out.Append(payload);
  code_ += out.Bytes();
}

Assembler& Assembler::Push(std::initializer_list<PushValue> values) {
  ByteWriter payload;
  for (const PushValue& value : values) {
    std::visit(Overloaded{
                   [&](const std::string& s) {
                     if (!pooled_) {
                       payload.U8(0);
                       payload.String(s);
                       return;
                     }
                     const std::uint16_t index = PoolIndex(s);
                     if (index <= 0xFF) {
                       payload.U8(8);
                       payload.U8(static_cast<std::uint8_t>(index));
                     } else {
                       payload.U8(9);
                       payload.U16(index);
                     }
                   },
                   [&](std::int32_t i) {
                     payload.U8(7);
                     payload.U32(static_cast<std::uint32_t>(i));
                   },
                   [&](double d) {
                     payload.U8(6);
                     payload.DoubleSwapped(d);
                   },
                   [&](bool b) {
                     payload.U8(5);
                     payload.U8(b ? 1 : 0);
                   },
                   [&](Null) { payload.U8(2); },
                   [&](Undefined) { payload.U8(3); },
                   [&](Register r) {
                     payload.U8(4);
                     payload.U8(r.number);
                   },
               },
               value);
  }
  Record(0x96, payload.Bytes());
  return *this;
}

std::uint16_t Assembler::PoolIndex(const std::string& text) {
  const auto found = std::find(pool_.begin(), pool_.end(), text);
  if (found != pool_.end()) return static_cast<std::uint16_t>(found - pool_.begin());
  if (pool_.size() >= 0xFFFF) throw std::logic_error("too many texts to pool");
  pool_.push_back(text);
  return static_cast<std::uint16_t>(pool_.size() - 1);
}

Assembler& Assembler::GotoFrame(std::uint16_t zeroBasedFrame) {
  ByteWriter payload;
  payload.U16(zeroBasedFrame);
  Record(0x81, payload.Bytes());
  return *this;
}

Assembler& Assembler::GotoLabel(std::string_view label) {
  ByteWriter payload;
  payload.String(label);
  Record(0x8C, payload.Bytes());
  return *this;
}

Assembler& Assembler::GotoFrame2(bool play) {
  Record(0x9F, std::string(1, static_cast<char>(play ? 1 : 0)));
  return *this;
}

Assembler& Assembler::GetUrl(std::string_view url, std::string_view target) {
  ByteWriter payload;
  payload.String(url);
  payload.String(target);
  Record(0x83, payload.Bytes());
  return *this;
}

Assembler& Assembler::GetUrl2(std::uint8_t flags) {
  Record(0x9A, std::string(1, static_cast<char>(flags)));
  return *this;
}

Assembler& Assembler::SetTarget(std::string_view target) {
  ByteWriter payload;
  payload.String(target);
  Record(0x8B, payload.Bytes());
  return *this;
}

Assembler& Assembler::StoreRegister(std::uint8_t reg) {
  Record(0x87, std::string(1, static_cast<char>(reg)));
  return *this;
}

Assembler& Assembler::Jump(Label target) {
  Record(0x99, std::string(2, '\0'));
  fixups_.push_back({code_.size() - 2, target.id, CurrentScope()});
  return *this;
}

Assembler& Assembler::If(Label target) {
  Record(0x9D, std::string(2, '\0'));
  fixups_.push_back({code_.size() - 2, target.id, CurrentScope()});
  return *this;
}

Assembler& Assembler::FsCommand(std::string_view command, std::string_view argument) {
  return GetUrl("FSCommand:" + std::string(command), argument);
}

Assembler& Assembler::FsCommandWithStackArgument(std::string_view command) {
  // GetURL2 takes the URL below the target: push the URL, then bring the argument on top.
  Push("FSCommand:" + std::string(command));
  StackSwap();
  return GetUrl2(0);
}

Assembler& Assembler::BeginFunction(std::string_view name, const std::vector<std::string>& params) {
  ByteWriter payload;
  payload.String(name);
  payload.U16(static_cast<std::uint16_t>(params.size()));
  for (const std::string& param : params) payload.String(param);
  payload.U16(0);  // body size, patched by EndFunction
  Record(0x9B, payload.Bytes());
  functionSizeFields_.push_back(code_.size() - 2);
  scopes_.push_back(nextScope_++);
  return *this;
}

Assembler& Assembler::BeginFunction2(std::string_view name,
                                     const std::vector<FunctionParam>& params,
                                     std::uint8_t registerCount, std::uint16_t flags) {
  ByteWriter payload;
  payload.String(name);
  payload.U16(static_cast<std::uint16_t>(params.size()));
  payload.U8(registerCount);
  payload.U16(flags);
  for (const FunctionParam& param : params) {
    payload.U8(param.reg);
    payload.String(param.name);
  }
  payload.U16(0);  // body size, patched by EndFunction
  Record(0x8E, payload.Bytes());
  functionSizeFields_.push_back(code_.size() - 2);
  scopes_.push_back(nextScope_++);
  return *this;
}

Assembler& Assembler::EndFunction() {
  if (functionSizeFields_.empty()) throw std::logic_error("EndFunction without a function");
  std::size_t field = functionSizeFields_.back();
  std::size_t size = code_.size() - (field + 2);
  if (size > 0xFFFF) throw std::logic_error("function body too long");
  PatchU16(code_, field, static_cast<std::uint16_t>(size));
  functionSizeFields_.pop_back();
  scopes_.pop_back();
  return *this;
}

std::string Assembler::Finish() const {
  if (!functionSizeFields_.empty()) throw std::logic_error("function left open");
  std::string code = code_;
  for (const Fixup& fixup : fixups_) {
    const LabelInfo& label = labels_.at(static_cast<std::size_t>(fixup.label));
    if (!label.bound) throw std::logic_error("jump to an unbound label");
    if (label.scope != fixup.scope) throw std::logic_error("jump across a function boundary");
    // Offsets count from the end of the jump record, which the offset field ends.
    auto offset =
        static_cast<std::ptrdiff_t>(label.position) - static_cast<std::ptrdiff_t>(fixup.at + 2);
    if (offset < -32768 || offset > 32767) throw std::logic_error("jump too far");
    PatchU16(code, fixup.at, static_cast<std::uint16_t>(static_cast<std::int16_t>(offset)));
  }
  if (pool_.empty()) return code;
  // Offsets are relative, so the pool goes first without moving any.
  ByteWriter pool;
  pool.U16(static_cast<std::uint16_t>(pool_.size()));
  for (const std::string& text : pool_) pool.String(text);
  if (pool.Bytes().size() > 0xFFFF) throw std::logic_error("texts too long to pool");
  ByteWriter record;
  record.U8(0x88);
  record.U16(static_cast<std::uint16_t>(pool.Bytes().size()));
  record.Append(pool.Bytes());
  return record.Bytes() + code;
}

}  // namespace tdwk::swf
