#include "swf/bridge.h"

#include "swf/avm1_assembler.h"
#include "swf/format_error.h"
#include "swf/movie_reader.h"
#include "swf/movie_writer.h"
#include "swf/tags.h"

namespace tdwk::swf {

namespace {

// What a movie of unknown shape gets: 550 by 400 pixels, 12 frames a second, white.
constexpr Rect kDefaultStage{0, 550 * kStageTwipsPerPixel, 0, 400 * kStageTwipsPerPixel};
constexpr double kDefaultFrameRate = 12;
constexpr Rgb kDefaultBackground{255, 255, 255};

constexpr std::uint8_t kCurrentFrameProperty = 4;
constexpr std::uint8_t kTotalFramesProperty = 5;
constexpr std::uint8_t kFramesLoadedProperty = 12;
// Callbacks keep their parameters in registers and have no locals of their own, so a plain
// variable name always resolves on the wrapped movie's timeline.
constexpr std::uint16_t kBareFunction = function_flag::kSuppressThis |
                                        function_flag::kSuppressArguments |
                                        function_flag::kSuppressSuper;

// State lives on one object of the bridge's own timeline (_level0), out of the wrapped movie's
// way: whether it has loaded, whether it seemed to play at the last frame, and that frame.
void PushState(Assembler& a) {
  a.Push("tdwkBridge").GetVariable();
}

void SkipUnlessLoaded(Assembler& a, Assembler::Label skip) {
  PushState(a);
  a.Push("loaded").GetMember().Not().If(skip);
}

void RememberFrame(Assembler& a) {
  PushState(a);
  a.Push({std::string("lastFrame"), std::string("_level1"),
          static_cast<std::int32_t>(kCurrentFrameProperty)});
  a.GetProperty().SetMember();
}

void AddCallback(Assembler& a, std::string_view name) {
  // The function is already on the stack: addCallback(name, null, function).
  a.Push({Null{}, std::string(name), 3});
  a.Push("flash").GetVariable().Push("external").GetMember();
  a.Push("ExternalInterface").GetMember().Push("addCallback").CallMethod().Pop();
}

void SetVariableCallback(Assembler& a) {
  a.BeginFunction2("", {{1, "name"}, {2, "value"}}, 3, kBareFunction);
  auto skip = a.NewLabel();
  SkipUnlessLoaded(a, skip);
  // Texts cross the player's script boundary as "s:" + text: an empty text could otherwise
  // arrive as null and be stored as "null".
  a.Push({2, 1, Register{2}, std::string("substr")}).CallMethod().StoreRegister(2).Pop();
  a.SetTarget("_level1").Push({Register{1}, Register{2}}).SetVariable().SetTarget("");
  a.Bind(skip);
  a.EndFunction();
  AddCallback(a, "SetVariable");
}

void GetVariableCallback(Assembler& a) {
  a.BeginFunction2("", {{1, "name"}}, 3, kBareFunction);
  auto undefinedValue = a.NewLabel();
  SkipUnlessLoaded(a, undefinedValue);
  a.SetTarget("_level1").Push(Register{1}).GetVariable().StoreRegister(2).Pop().SetTarget("");
  a.Push(Register{2}).TypeOf().Push("undefined").StrictEquals().If(undefinedValue);
  a.Push("s:").Push(Register{2}).ToString().StringAdd().Return();
  a.Bind(undefinedValue);
  a.Push(Null{}).Return();
  a.EndFunction();
  AddCallback(a, "GetVariable");
}

void GotoFrameCallback(Assembler& a) {
  a.BeginFunction2("", {{1, "frame"}}, 3, kBareFunction);
  auto skip = a.NewLabel();
  auto stopped = a.NewLabel();
  SkipUnlessLoaded(a, skip);
  PushState(a);
  a.Push("playing").GetMember().StoreRegister(2).Pop();
  a.SetTarget("_level1");
  a.Push(Register{1}).ToNumber().Push(1).Add2().GotoFrame2(false);
  a.Push(Register{2}).Not().If(stopped);
  a.Play();
  a.Bind(stopped);
  a.SetTarget("");
  RememberFrame(a);
  a.Bind(skip);
  a.EndFunction();
  AddCallback(a, "GotoFrame");
}

void PlayCallback(Assembler& a) {
  a.BeginFunction2("", {}, 1, kBareFunction);
  auto skip = a.NewLabel();
  SkipUnlessLoaded(a, skip);
  a.SetTarget("_level1").Play().SetTarget("");
  PushState(a);
  a.Push({std::string("playing"), true}).SetMember();
  a.Bind(skip);
  a.EndFunction();
  AddCallback(a, "Play");
}

// The wrapped movie takes calls from now on, and the page hears so.
void MarkLoaded(Assembler& a) {
  PushState(a);
  a.Push({std::string("loaded"), true}).SetMember();
  RememberFrame(a);
  a.FsCommand(kBridgeLoadedCommand, "");
}

// Jumps to the label while the wrapped movie still has frames to load.
void IfFramesToLoad(Assembler& a, Assembler::Label target) {
  a.Push({std::string("_level1"), static_cast<std::int32_t>(kFramesLoadedProperty)});
  a.GetProperty();
  a.Push({std::string("_level1"), static_cast<std::int32_t>(kTotalFramesProperty)});
  a.GetProperty().Less2().If(target);
}

// The player cannot be asked whether a timeline plays, so the bridge watches it: a timeline
// whose frame changed since the last frame plays. It also finishes a load that waits for the
// movie's last frames: once all are read, or once no more were read since the last frame (a
// movie whose header promises more frames than it has).
void WatchPlayState(Assembler& a) {
  a.Push("onEnterFrame");
  a.BeginFunction2("", {}, 2, kBareFunction);
  auto watch = a.NewLabel();
  auto finish = a.NewLabel();
  PushState(a);
  a.Push("framesDue").GetMember().Not().If(watch);
  a.Push({std::string("_level1"), static_cast<std::int32_t>(kFramesLoadedProperty)});
  a.GetProperty().StoreRegister(1).Pop();
  a.Push(Register{1});
  a.Push({std::string("_level1"), static_cast<std::int32_t>(kTotalFramesProperty)});
  a.GetProperty().Less2().Not().If(finish);
  a.Push(Register{1});
  PushState(a);
  a.Push("framesSeen").GetMember().Equals2().If(finish);
  PushState(a);
  a.Push({std::string("framesSeen"), Register{1}}).SetMember();
  a.Jump(watch);
  a.Bind(finish);
  PushState(a);
  a.Push({std::string("framesDue"), false}).SetMember();
  MarkLoaded(a);
  a.Bind(watch);
  a.Push({std::string("_level1"), static_cast<std::int32_t>(kCurrentFrameProperty)});
  a.GetProperty().StoreRegister(1).Pop();
  PushState(a);
  a.Push({std::string("playing"), Register{1}});
  PushState(a);
  a.Push("lastFrame").GetMember().Equals2().Not().SetMember();
  PushState(a);
  a.Push({std::string("lastFrame"), Register{1}}).SetMember();
  a.EndFunction();
  a.SetVariable();
}

// The player may run a movie's first frame before it has read the rest: a frame not yet read
// cannot be gone to, so the movie counts as loaded once all of its frames are.
void LoadedHandler(Assembler& a, std::string_view event, bool waitForFrames) {
  a.Push("tdwkBridgeLoader").GetVariable().Push(std::string(event));
  a.BeginFunction2("", {}, 1, kBareFunction);
  if (waitForFrames) {
    auto due = a.NewLabel();
    auto done = a.NewLabel();
    IfFramesToLoad(a, due);
    MarkLoaded(a);
    a.Jump(done);
    a.Bind(due);
    PushState(a);
    a.Push({std::string("framesSeen"), -1}).SetMember();
    PushState(a);
    a.Push({std::string("framesDue"), true}).SetMember();
    a.Bind(done);
  } else {
    MarkLoaded(a);
  }
  a.EndFunction();
  a.SetMember();
}

// clip.method(arguments...), the clip in a register, its result dropped.
void CallOn(Assembler& a, std::uint8_t clip, std::string_view method,
            std::initializer_list<PushValue> reversedArguments) {
  if (reversedArguments.size() > 0) a.Push(reversedArguments);
  a.Push(static_cast<std::int32_t>(reversedArguments.size()));
  a.Push({Register{clip}, std::string(method)}).CallMethod().Pop();
}

// LoadMovie(url, colour): the stage's background becomes the movie's (the bridge may have
// been started for a movie of another colour), then the movie is loaded into _level1. A
// second call does nothing: loading over a level that holds a movie breaks the player.
void LoadMovieCallback(Assembler& a) {
  a.BeginFunction2("", {{1, "url"}, {2, "colour"}}, 4, kBareFunction);
  auto done = a.NewLabel();
  PushState(a);
  a.Push("requested").GetMember().If(done);
  PushState(a);
  a.Push({std::string("requested"), true}).SetMember();
  // Drawn on the bridge's own timeline: a clip of its own, under the pointer all the time, would
  // be asked at every frame whether it is a button, which makes garbage each time.
  a.Push("_level0").GetVariable().StoreRegister(3).Pop();
  // Wider than any screen, so that an unscaled stage shows no other colour either.
  constexpr std::int32_t kFar = 10000;
  CallOn(a, 3, "beginFill", {100, Register{2}});
  CallOn(a, 3, "moveTo", {-kFar, -kFar});
  CallOn(a, 3, "lineTo", {-kFar, kFar});
  CallOn(a, 3, "lineTo", {kFar, kFar});
  CallOn(a, 3, "lineTo", {kFar, -kFar});
  CallOn(a, 3, "lineTo", {-kFar, -kFar});
  CallOn(a, 3, "endFill", {});
  a.Push({1, Register{1}, 2}).Push("tdwkBridgeLoader").GetVariable();
  a.Push("loadClip").CallMethod().Pop();
  a.Bind(done);
  a.EndFunction();
  AddCallback(a, "LoadMovie");
}

std::string BridgeCode() {
  // Its callbacks and its frame watch run for as long as the movie plays.
  Assembler a{Assembler::Texts::kPooled};
  a.Push({std::string("tdwkBridge"), 0, std::string("Object")}).NewObject().SetVariable();
  PushState(a);
  a.Push({std::string("loaded"), false}).SetMember();
  PushState(a);
  a.Push({std::string("requested"), false}).SetMember();
  PushState(a);
  a.Push({std::string("playing"), true}).SetMember();
  PushState(a);
  a.Push({std::string("lastFrame"), 0}).SetMember();
  PushState(a);
  a.Push({std::string("framesDue"), false}).SetMember();

  SetVariableCallback(a);
  GetVariableCallback(a);
  GotoFrameCallback(a);
  PlayCallback(a);
  LoadMovieCallback(a);
  WatchPlayState(a);

  a.Push({std::string("tdwkBridgeLoader"), 0, std::string("MovieClipLoader")});
  a.NewObject().SetVariable();
  LoadedHandler(a, "onLoadInit", true);
  // A movie that cannot be loaded plays as an empty movie: the page need not wait for it.
  LoadedHandler(a, "onLoadError", false);
  a.FsCommand(kBridgeReadyCommand, "");
  a.Stop();
  return a.Finish();
}

}  // namespace

std::string BuildBridgeMovie(std::string_view shapingMovieBytes) {
  Rect stage = kDefaultStage;
  double frameRate = kDefaultFrameRate;
  Rgb background = kDefaultBackground;
  try {
    MovieHeader header = ReadMovieHeader(shapingMovieBytes);
    stage = header.stage;
    frameRate = header.frameRate;
    background = header.background.value_or(kDefaultBackground);
  } catch (const FormatError&) {
    // An unreadable movie still gets a bridge; the player reports the movie itself.
  }
  MovieWriter movie(8, stage, frameRate);
  movie.Add(SetBackgroundColorTag(background));
  movie.Add(DoActionTag(BridgeCode()));
  movie.ShowFrame();
  return movie.Finish();
}

}  // namespace tdwk::swf
