#pragma once

#include <functional>
#include <string>

namespace tdwk {

// The settings a Flash control is created with; every movie is loaded by code later.
struct FlashSettings {
  std::string movie, src, flashVars, base, bgColor, swRemote;
  std::string wmode = "Window";
  std::string quality = "High";
  std::string scale;   // "ExactFit" or "NoScale"
  std::string salign;  // empty or "LT"
  std::string allowScriptAccess = "always";
  bool play = false, loop = false, menu = false, deviceFont = false, embedMovie = false;
};

// One movie layer of the main window: a Flash player placed in twips.
// Every operation is synchronous and runs on the one thread.
class FlashControl {
 public:
  using FSCommandHandler = std::function<void(const std::string& command, const std::string& args)>;

  virtual ~FlashControl() = default;

  virtual const std::string& Name() const = 0;
  virtual const FlashSettings& Settings() const = 0;

  // Replaces the movie of the layer (the system always passes layer 0).
  virtual void LoadMovie(int layer, const std::string& url) = 0;
  // Exactly the path most recently given to LoadMovie.
  virtual std::string Movie() const = 0;
  virtual void SetVariable(const std::string& name, const std::string& value) = 0;
  // Throws VbError when the movie does not answer for that name.
  virtual std::string GetVariable(const std::string& name) = 0;
  virtual void Play() = 0;
  virtual void GotoFrame(int frame) = 0;

  virtual void SetLeft(float twips) = 0;
  virtual void SetTop(float twips) = 0;
  virtual void SetWidth(float twips) = 0;
  virtual void SetHeight(float twips) = 0;
  virtual float Left() const = 0;
  virtual float Top() const = 0;
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  virtual void BringToFront() = 0;

  // The FSCommand event: raised by the player with the command and its argument.
  virtual void OnFSCommand(FSCommandHandler handler) = 0;
};

}  // namespace tdwk
