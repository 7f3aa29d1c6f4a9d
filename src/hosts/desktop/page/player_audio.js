"use strict";

// The page's players all sound through one audio context. WebKit gives every context an audio
// thread and an output of its own, which run for as long as the context does, silent or not:
// a few percent of a core for each player on screen and each started spare, and a new output
// to start for every movie. Each player is given a context of its own in name only: a volume
// node on the shared one, which its suspending mutes, and the sources it plays, which its
// closing stops and detaches (the shared context goes on running: a source left playing would
// go on calling the player back). Runs before the player's script takes its reference to the
// constructor.
(() => {
  const PageAudioContext = window.AudioContext;
  if (!PageAudioContext) return;
  let shared = null;

  function PlayerAudioContext(options) {
    if (!shared || shared.state === "closed") shared = new PageAudioContext(options);
    const context = shared;
    const output = context.createGain();
    output.connect(context.destination);
    let closed = false;
    let muted = false;
    const playing = new Set();
    const createBufferSource = () => {
      const source = context.createBufferSource();
      playing.add(source);
      source.addEventListener("ended", () => playing.delete(source));
      return source;
    };
    const own = {
      get destination() {
        return output;
      },
      get state() {
        if (closed) return "closed";
        return muted ? "suspended" : context.state;
      },
      suspend() {
        muted = true;
        output.gain.value = 0;
        return Promise.resolve();
      },
      resume() {
        if (closed) return Promise.reject(new DOMException("closed", "InvalidStateError"));
        muted = false;
        output.gain.value = 1;
        return context.resume();
      },
      createBufferSource,
      close() {
        if (!closed) {
          for (const source of playing) {
            source.onended = null;
            try {
              source.stop();
            } catch (error) {
              // Not started yet: it never will be.
            }
            source.disconnect();
          }
          playing.clear();
          output.disconnect();
        }
        closed = true;
        muted = true;
        return Promise.resolve();
      },
    };
    // Everything else (buffers, sources, the clock) is the shared context's own.
    return new Proxy(own, {
      get(target, name) {
        if (name in target) return Reflect.get(target, name);
        const value = Reflect.get(context, name);
        return typeof value === "function" ? value.bind(context) : value;
      },
    });
  }
  window.AudioContext = PlayerAudioContext;
})();
