#include "swf/tags.h"

#include <algorithm>

#include "swf/byte_writer.h"

namespace tdwk::swf {

std::string TagRecord(std::uint16_t code, std::string_view body, bool forceLong) {
  ByteWriter out;
  if (body.size() < 0x3F && !forceLong) {
    out.U16(static_cast<std::uint16_t>(code << 6 | body.size()));
  } else {
    out.U16(static_cast<std::uint16_t>(code << 6 | 0x3F));
    out.U32(static_cast<std::uint32_t>(body.size()));
  }
  out.Append(body);
  return out.Bytes();
}

std::string SetBackgroundColorTag(Rgb colour) {
  ByteWriter body;
  body.Colour(colour);
  return TagRecord(tag::kSetBackgroundColor, body.Bytes());
}

std::string ShowFrameTag() {
  return TagRecord(tag::kShowFrame, {});
}
std::string EndTag() {
  return TagRecord(tag::kEnd, {});
}

namespace {

// Shape records: relative edges from a pen position, bit-packed.
class ShapeRecords {
 public:
  ShapeRecords(int fillBits, int lineBits) : fillBits_(fillBits), lineBits_(lineBits) {}

  void MoveWithStyles(std::int32_t x, std::int32_t y, std::uint32_t fill1, std::uint32_t line) {
    bits_.WriteFlag(false);  // style change record
    bits_.WriteFlag(false);  // no new styles
    bits_.WriteFlag(line != 0);
    bits_.WriteFlag(fill1 != 0);
    bits_.WriteFlag(false);  // fill style 0 unchanged
    bits_.WriteFlag(true);   // move to
    int n = SignedBits(x, y);
    bits_.WriteUnsigned(static_cast<std::uint32_t>(n), 5);
    bits_.WriteSigned(x, n);
    bits_.WriteSigned(y, n);
    if (fill1 != 0) bits_.WriteUnsigned(fill1, fillBits_);
    if (line != 0) bits_.WriteUnsigned(line, lineBits_);
    penX_ = x;
    penY_ = y;
  }

  void LineTo(std::int32_t x, std::int32_t y) {
    std::int32_t dx = x - penX_;
    std::int32_t dy = y - penY_;
    if (dx == 0 && dy == 0) return;
    int n = std::max(2, SignedBits(dx, dy));
    bits_.WriteFlag(true);  // edge
    bits_.WriteFlag(true);  // straight
    bits_.WriteUnsigned(static_cast<std::uint32_t>(n - 2), 4);
    bool general = dx != 0 && dy != 0;
    bits_.WriteFlag(general);
    if (general) {
      bits_.WriteSigned(dx, n);
      bits_.WriteSigned(dy, n);
    } else {
      bits_.WriteFlag(dx == 0);  // vertical
      bits_.WriteSigned(dx == 0 ? dy : dx, n);
    }
    penX_ = x;
    penY_ = y;
  }

  void CurveTo(std::int32_t cx, std::int32_t cy, std::int32_t x, std::int32_t y) {
    std::int32_t cdx = cx - penX_, cdy = cy - penY_, adx = x - cx, ady = y - cy;
    int n = std::max(2, SignedBits(cdx, cdy, adx, ady));
    bits_.WriteFlag(true);   // edge
    bits_.WriteFlag(false);  // curved
    bits_.WriteUnsigned(static_cast<std::uint32_t>(n - 2), 4);
    bits_.WriteSigned(cdx, n);
    bits_.WriteSigned(cdy, n);
    bits_.WriteSigned(adx, n);
    bits_.WriteSigned(ady, n);
    penX_ = x;
    penY_ = y;
  }

  std::string Finish() {
    bits_.WriteUnsigned(0, 6);  // end of shape
    return bits_.Finish();
  }

 private:
  BitWriter bits_;
  int fillBits_;
  int lineBits_;
  std::int32_t penX_ = 0;
  std::int32_t penY_ = 0;
};

}  // namespace

std::string DefineShapeTag(const RectangleShape& shape) {
  bool alpha = (shape.fill && shape.fill->alpha != 255) || (shape.line && shape.line->alpha != 255);
  auto colour = [&](ByteWriter& out, const Rgba& c) {
    if (alpha) {
      out.Colour(c);
    } else {
      out.Colour(Rgb{c.red, c.green, c.blue});
    }
  };
  ByteWriter body;
  body.U16(shape.id);
  Rect bounds = shape.rect;
  if (shape.line) {
    std::int32_t half = shape.lineWidth / 2;
    bounds = {bounds.xMin - half, bounds.xMax + half, bounds.yMin - half, bounds.yMax + half};
  }
  body.Rectangle(bounds);
  body.U8(shape.fill ? 1 : 0);
  if (shape.fill) {
    body.U8(0x00);  // solid fill
    colour(body, *shape.fill);
  }
  body.U8(shape.line ? 1 : 0);
  if (shape.line) {
    body.U16(shape.lineWidth);
    colour(body, *shape.line);
  }
  int fillBits = shape.fill ? 1 : 0;
  int lineBits = shape.line ? 1 : 0;
  body.U8(static_cast<std::uint8_t>(fillBits << 4 | lineBits));

  const Rect& r = shape.rect;
  std::int32_t radius =
      std::clamp(shape.cornerRadius, 0, std::min(r.xMax - r.xMin, r.yMax - r.yMin) / 2);
  ShapeRecords records(fillBits, lineBits);
  // Clockwise on a y-down stage, so the inside lies to the right of every edge: fill style 1.
  records.MoveWithStyles(r.xMin + radius, r.yMin, shape.fill ? 1 : 0, shape.line ? 1 : 0);
  records.LineTo(r.xMax - radius, r.yMin);
  if (radius > 0) records.CurveTo(r.xMax, r.yMin, r.xMax, r.yMin + radius);
  records.LineTo(r.xMax, r.yMax - radius);
  if (radius > 0) records.CurveTo(r.xMax, r.yMax, r.xMax - radius, r.yMax);
  records.LineTo(r.xMin + radius, r.yMax);
  if (radius > 0) records.CurveTo(r.xMin, r.yMax, r.xMin, r.yMax - radius);
  records.LineTo(r.xMin, r.yMin + radius);
  if (radius > 0) records.CurveTo(r.xMin, r.yMin, r.xMin + radius, r.yMin);
  body.Append(records.Finish());
  return TagRecord(alpha ? tag::kDefineShape3 : tag::kDefineShape, body.Bytes());
}

std::string DefineDeviceFontTag(std::uint16_t id, std::string_view name) {
  ByteWriter body;
  body.U16(id);
  body.U8(0x04);  // wide codes (required from version 6), no layout: a device font
  body.U8(1);     // language: Latin
  std::string_view shortName = name.substr(0, 255);
  body.U8(static_cast<std::uint8_t>(shortName.size()));
  body.Append(shortName);
  body.U16(0);  // no glyphs
  body.U16(0);  // code table offset
  return TagRecord(tag::kDefineFont2, body.Bytes());
}

std::string DefineEditTextTag(const EditText& text) {
  ByteWriter body;
  body.U16(text.id);
  body.Rectangle(text.bounds);
  std::uint8_t first = 0x04 | 0x01;  // text colour, font
  if (text.initialText) first |= 0x80;
  if (text.wordWrap) first |= 0x40;
  if (text.multiline) first |= 0x20;
  if (text.readOnly) first |= 0x08;
  if (text.maxLength != 0) first |= 0x02;
  std::uint8_t second = 0x20;  // layout
  if (text.noSelect) second |= 0x10;
  if (text.border) second |= 0x08;
  body.U8(first);
  body.U8(second);
  body.U16(text.fontId);
  body.U16(text.fontHeight);
  body.Colour(text.colour);
  if (text.maxLength != 0) body.U16(text.maxLength);
  body.U8(static_cast<std::uint8_t>(text.align));
  body.U16(text.leftMargin);
  body.U16(text.rightMargin);
  body.U16(0);  // indent
  body.S16(0);  // leading
  body.String(text.variable);
  if (text.initialText) body.String(*text.initialText);
  return TagRecord(tag::kDefineEditText, body.Bytes());
}

std::string DefineButton2Tag(const Button& button) {
  ByteWriter records;
  for (const ButtonRecord& record : button.records) {
    records.U8(record.states & 0x0F);
    records.U16(record.characterId);
    records.U16(record.depth);
    records.Transform(record.matrix);
    records.IdentityColourTransform();
  }
  records.U8(0);  // end of records

  ByteWriter body;
  body.U16(button.id);
  body.U8(button.trackAsMenu ? 1 : 0);
  // The offset counts from this field itself to the first condition action.
  body.U16(button.actions.empty() ? 0 : static_cast<std::uint16_t>(2 + records.Size()));
  body.Append(records.Bytes());
  for (std::size_t i = 0; i < button.actions.size(); ++i) {
    const ButtonAction& action = button.actions[i];
    bool last = i + 1 == button.actions.size();
    body.U16(last ? 0 : static_cast<std::uint16_t>(2 + 2 + action.actions.size() + 1));
    body.U16(action.conditions);
    body.Append(action.actions);
    body.U8(0);
  }
  return TagRecord(tag::kDefineButton2, body.Bytes());
}

std::string DefineSpriteTag(std::uint16_t id, std::uint16_t frameCount, std::string_view tags) {
  ByteWriter body;
  body.U16(id);
  body.U16(frameCount);
  body.Append(tags);
  body.Append(EndTag());
  return TagRecord(tag::kDefineSprite, body.Bytes());
}

std::string PlaceObject2Tag(const Placement& placement) {
  std::uint8_t flags = 0;
  if (placement.name) flags |= 0x20;
  if (placement.matrix) flags |= 0x04;
  if (placement.characterId) flags |= 0x02;
  if (placement.move) flags |= 0x01;
  ByteWriter body;
  body.U8(flags);
  body.U16(placement.depth);
  if (placement.characterId) body.U16(*placement.characterId);
  if (placement.matrix) body.Transform(*placement.matrix);
  if (placement.name) body.String(*placement.name);
  return TagRecord(tag::kPlaceObject2, body.Bytes());
}

std::string RemoveObject2Tag(std::uint16_t depth) {
  ByteWriter body;
  body.U16(depth);
  return TagRecord(tag::kRemoveObject2, body.Bytes());
}

std::string FrameLabelTag(std::string_view label) {
  ByteWriter body;
  body.String(label);
  return TagRecord(tag::kFrameLabel, body.Bytes());
}

std::string DoActionTag(std::string_view actions) {
  ByteWriter body;
  body.Append(actions);
  body.U8(0);
  return TagRecord(tag::kDoAction, body.Bytes());
}

}  // namespace tdwk::swf
