#include "test_movies.h"

#include "swf/avm1_assembler.h"
#include "swf/movie_writer.h"
#include "swf/sound.h"
#include "swf/sound_synthesis.h"
#include "swf/tags.h"

namespace tdwk::test {

namespace {

using swf::Assembler;

// The value of a variable of the movie's timeline on the stack. Code that runs every frame
// names its variables plainly rather than as members of _root: the player makes a new object
// each time a clip is pushed, and that garbage would count in what a still movie costs.
void PushTimelineVariable(Assembler& code, const std::string& name) {
  code.Push(name).GetVariable();
}

// Reports a watched variable when it differs from what was last reported; counts the
// variables reported at least once in _root.tdwk_reported.
void WatchVariable(Assembler& code, const std::string& name) {
  const std::string last = "tdwk_last_" + name;
  const std::string seen = "tdwk_seen_" + name;
  const Assembler::Label same = code.NewLabel();
  const Assembler::Label counted = code.NewLabel();
  PushTimelineVariable(code, name);
  PushTimelineVariable(code, last);
  code.Equals2().If(same);
  code.Push(last);
  PushTimelineVariable(code, name);
  code.SetVariable();
  code.Push(name + "=");
  PushTimelineVariable(code, name);
  code.Add2().FsCommandWithStackArgument(kVariableReport);
  // First report of this variable: count it.
  PushTimelineVariable(code, seen);
  code.If(counted);
  code.Push(seen).Push(true).SetVariable();
  code.Push("tdwk_reported");
  PushTimelineVariable(code, "tdwk_reported");
  code.Increment().SetVariable();
  code.Bind(counted);
  code.Bind(same);
}

// ExternalInterface.addCallback(name, null, function () {})
void AddCallback(Assembler& code, const std::string& name) {
  code.BeginFunction("", {}).EndFunction();
  code.Push({swf::Null{}, name, 3});
  code.Push("flash").GetVariable().Push("external").GetMember();
  code.Push("ExternalInterface").GetMember().Push("addCallback").CallMethod().Pop();
}

// new flash.net.FileReference().browse()
void BrowseFiles(Assembler& code) {
  code.Push(0);  // browse's arguments
  code.Push(0).Push("flash").GetVariable().Push("net").GetMember().Push("FileReference");
  code.NewMethod().Push("browse").CallMethod().Pop();
}

// var nested = 0; for (var i = 0; i < depth; ++i) nested = [nested];
// flash.external.ExternalInterface.call("tdwkNested", nested);
void PassNestedArrays(Assembler& code, int depth) {
  code.Push("tdwk_nested").Push(0).SetVariable();
  code.Push("tdwk_i").Push(0).SetVariable();
  const Assembler::Label next = code.NewLabel();
  code.Bind(next);
  code.Push("tdwk_nested").Push("tdwk_nested").GetVariable().Push(1).InitArray().SetVariable();
  code.Push("tdwk_i").Push("tdwk_i").GetVariable().Increment().SetVariable();
  code.Push("tdwk_i").GetVariable().Push(static_cast<std::int32_t>(depth)).Less2().If(next);
  code.Push("tdwk_nested").GetVariable().Push({"tdwkNested", 2});
  code.Push("flash").GetVariable().Push("external").GetMember();
  code.Push("ExternalInterface").GetMember().Push("call").CallMethod().Pop();
}

void ReportPace(Assembler& code, int ticks) {
  const Assembler::Label notYet = code.NewLabel();
  PushTimelineVariable(code, "tdwk_ticks");
  code.Push(static_cast<std::int32_t>(ticks)).Equals2().Not().If(notYet);
  code.GetTime();
  PushTimelineVariable(code, "tdwk_start_time");
  code.Subtract().FsCommandWithStackArgument(kPaceReport);
  code.Bind(notYet);
}

std::string FrameScript(const TestMovie& movie, int frame) {
  Assembler code{movie.version >= 5 ? Assembler::Texts::kPooled : Assembler::Texts::kInline};
  if (!movie.streamSound || frame == movie.frames - 1) code.Stop();
  code.FsCommand(kFrameReport, std::to_string(frame));
  if (frame != 0) return code.Finish();

  const Assembler::Label started = code.NewLabel();
  PushTimelineVariable(code, "tdwk_started");
  code.If(started);
  code.Push("_root").GetVariable().Push("tdwk_started").Push(true).SetMember();
  code.Push("_root").GetVariable().Push("tdwk_reported").Push(0).SetMember();
  code.Push("_root").GetVariable().Push("tdwk_start_time").GetTime().SetMember();
  for (const std::string& name : movie.firstFrameReports) {
    code.Push(name + "=");
    PushTimelineVariable(code, name);
    code.Add2().FsCommandWithStackArgument(kFirstFrameReport);
  }
  for (const auto& [name, value] : movie.defines) {
    code.Push("_root").GetVariable().Push({name, value}).SetMember();
  }
  for (const auto& [url, target] : movie.getUrls) code.GetUrl(url, target);
  for (const std::string& name : movie.callbacks) AddCallback(code, name);
  if (movie.browseFiles) BrowseFiles(code);
  for (const auto& [command, args] : movie.commands) code.FsCommand(command, args);
  if (movie.nestedArrays > 0) PassNestedArrays(code, movie.nestedArrays);

  // _root.onEnterFrame = function () { watch...; after the last first report, send on }
  if (movie.reportKeys) {
    // _root.tdwk_keys = {onKeyDown: function () { fscommand(kKeyReport, Key.getCode()); }};
    // Key.addListener(_root.tdwk_keys);
    code.Push("_root").GetVariable().Push("tdwk_keys").Push({0, "Object"}).NewObject().SetMember();
    PushTimelineVariable(code, "tdwk_keys");
    code.Push("onKeyDown").BeginFunction("", {});
    code.Push({0, "Key"}).GetVariable().Push("getCode").CallMethod();
    code.FsCommandWithStackArgument(kKeyReport);
    code.EndFunction().SetMember();
    PushTimelineVariable(code, "tdwk_keys");
    code.Push({1, "Key"}).GetVariable().Push("addListener").CallMethod().Pop();
  }
  // A movie with nothing to do at each frame runs no code there: a still movie makes no
  // garbage for the player to collect.
  const bool everyFrame = !movie.watch.empty() || movie.paceTicks > 0 || !movie.later.empty() ||
                          movie.nextFrameColour >= 0 || !movie.afterReports.empty();
  if (!everyFrame) {
    code.Bind(started);
    return code.Finish();
  }
  code.Push("_root").GetVariable().Push("tdwk_ticks").Push(0).SetMember();
  code.Push("_root").GetVariable().Push("onEnterFrame");
  code.BeginFunction("", {});
  code.Push("tdwk_ticks");
  PushTimelineVariable(code, "tdwk_ticks");
  code.Increment().SetVariable();
  for (const std::string& name : movie.watch) WatchVariable(code, name);
  if (movie.paceTicks > 0) ReportPace(code, movie.paceTicks);
  if (!movie.later.empty() || movie.nextFrameColour >= 0) {
    const Assembler::Label notYet = code.NewLabel();
    PushTimelineVariable(code, "tdwk_ticks");
    code.Push(static_cast<std::int32_t>(movie.laterTicks)).Equals2().Not().If(notYet);
    for (const auto& [command, args] : movie.later) code.FsCommand(command, args);
    if (movie.nextFrameColour >= 0) code.NextFrame();
    code.Bind(notYet);
  }
  if (!movie.afterReports.empty()) {
    const Assembler::Label notYet = code.NewLabel();
    PushTimelineVariable(code, "tdwk_after_sent");
    code.If(notYet);
    PushTimelineVariable(code, "tdwk_reported");
    code.Push(static_cast<std::int32_t>(movie.watch.size())).Less2().If(notYet);
    code.Push("tdwk_after_sent").Push(true).SetVariable();
    for (const auto& [command, args] : movie.afterReports) code.FsCommand(command, args);
    code.Bind(notYet);
  }
  if (movie.stillOnceReported) {
    const Assembler::Label notYet = code.NewLabel();
    PushTimelineVariable(code, "tdwk_reported");
    code.Push(static_cast<std::int32_t>(movie.watch.size())).Less2().If(notYet);
    code.Push("_root").GetVariable().Push("onEnterFrame").Push(swf::Undefined{}).SetMember();
    code.Bind(notYet);
  }
  code.EndFunction();
  code.SetMember();
  code.Bind(started);
  return code.Finish();
}

}  // namespace

std::string BuildTestMovie(const TestMovie& movie) {
  const swf::Rect stage{0, movie.width * swf::kStageTwipsPerPixel, 0,
                        movie.height * swf::kStageTwipsPerPixel};
  swf::MovieWriter writer(movie.version, stage, movie.frameRate);
  writer.Add(swf::SetBackgroundColorTag({movie.red, movie.green, movie.blue}));

  // A button over the whole stage that reports the left button going down.
  swf::RectangleShape hitArea;
  hitArea.id = 1;
  hitArea.rect = stage;
  hitArea.fill = swf::Rgba{movie.red, movie.green, movie.blue, 255};
  writer.Add(swf::DefineShapeTag(hitArea));
  swf::Button button;
  button.id = 2;
  button.records.push_back(
      {static_cast<std::uint8_t>(swf::button_state::kUp | swf::button_state::kOver |
                                 swf::button_state::kDown | swf::button_state::kHitTest),
       1, 1, swf::Matrix{}});
  Assembler press;
  press.FsCommand(kPressReport, "");
  if (movie.browseFiles) BrowseFiles(press);
  for (const auto& [command, args] : movie.pressCommands) press.FsCommand(command, args);
  button.actions.push_back({swf::button_condition::kPress, press.Finish()});
  writer.Add(swf::DefineButton2Tag(button));
  swf::Placement placement;
  placement.depth = 1;
  placement.characterId = 2;
  writer.Add(swf::PlaceObject2Tag(placement));

  swf::RectangleShape cover;
  cover.id = 4;
  cover.rect = stage;
  cover.fill = swf::Rgba{static_cast<std::uint8_t>(movie.nextFrameColour >> 16),
                         static_cast<std::uint8_t>(movie.nextFrameColour >> 8),
                         static_cast<std::uint8_t>(movie.nextFrameColour), 255};
  if (movie.nextFrameColour >= 0) writer.Add(swf::DefineShapeTag(cover));

  constexpr swf::SoundFormat kSound{swf::SoundCoding::Adpcm, swf::SoundRate::k22050};
  const int rate = swf::SamplesPerSecond(kSound.rate);
  if (movie.eventSound) {
    writer.Add(swf::DefineSoundTag(3, kSound, swf::Tune({{swf::Pitch(0), 1.0}}, rate)));
    if (!movie.eventSoundOnNextFrame) writer.Add(swf::StartSoundTag(3, 60));
  }
  // A scale up and down, one note a frame.
  std::vector<swf::Note> notes;
  for (int frame = 0; frame < movie.frames; ++frame) {
    notes.push_back({swf::Pitch(frame % 8 < 4 ? frame % 8 : 8 - frame % 8), 1 / movie.frameRate});
  }
  const swf::StreamSound stream(kSound, movie.frameRate, swf::Tune(notes, rate));
  if (movie.streamSound) writer.Add(stream.HeadTag());
  for (int frame = 0; frame < movie.frames; ++frame) {
    if (movie.streamSound) writer.Add(stream.BlockTag(frame));
    if (frame == 1 && movie.nextFrameColour >= 0) {
      swf::Placement covering;
      covering.depth = 2;
      covering.characterId = cover.id;
      writer.Add(swf::PlaceObject2Tag(covering));
      if (movie.eventSound && movie.eventSoundOnNextFrame) writer.Add(swf::StartSoundTag(3, 60));
    }
    writer.Add(swf::DoActionTag(FrameScript(movie, frame)));
    writer.ShowFrame();
  }
  return writer.Finish(movie.version >= 8 ? swf::Compression::Zlib : swf::Compression::None);
}

}  // namespace tdwk::test
