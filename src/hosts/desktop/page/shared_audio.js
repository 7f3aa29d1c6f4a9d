"use strict";

// Every player makes an audio context of its own, and each context keeps a sound stream of the
// web view busy whether its movie sounds or not: the players of a still menu spent more on that
// than on drawing. They share one context instead. What a player gets is a view of it with its
// own output, clock and state, as a context of its own would have: a suspended view is silent
// at once and starts nothing until resumed, a closed one starts nothing again, and neither
// touches the other players' sound.
//
// A player feeds its output all the time, silence included, one short buffer after another,
// each started when the one before has ended. When nothing but silence has been fed for a
// while, the shared context is suspended and the silent buffers are not played at all: each
// ends on a timer when it would have ended, so the players' clocks and feeding go on as before.
// The first buffer that holds sound starts the context again. A buffer is given a node of the
// context only when it is played: the context frees the nodes that have played only while it
// runs, so nodes made for buffers that a timer ends would pile up for as long as it rests.
(() => {
  const Native = window.AudioContext;
  if (typeof Native !== "function") return;
  let shared = null;

  const views = new WeakMap();  // view -> its state
  const stateOf = (view) => views.get(view);
  const settled = () => Promise.resolve();

  // The views' clock: the shared context's time, going on while the context rests.
  const restAfterSilenceMs = 2000;
  let lastSoundAt = performance.now();
  let resting = null;  // {contextTime, at} since the context was suspended for silence
  let restedFor = 0;   // seconds the context has rested in all
  const clock = () => resting
      ? resting.contextTime + restedFor + (performance.now() - resting.at) / 1000
      : shared.currentTime + restedFor;
  const contextTime = (time) => time - restedFor;

  // The view's clock stands still while it is suspended, as a context's does.
  const viewTime = (state) => (state.suspendedAt ?? clock()) - state.origin - state.pausedFor;
  const clockTime = (state, when) => state.origin + state.pausedFor + when;

  // Buffers started and not yet ended; each ends once, whether the context or a timer ends it.
  const playing = new Set();
  const endLater = (source, endsAt) => {
    setTimeout(source.end, Math.max(0, (endsAt - clock()) * 1000));
  };

  const rest = () => {
    if (resting || performance.now() - lastSoundAt < restAfterSilenceMs) return;
    if (shared.state !== "running") return;
    resting = {contextTime: shared.currentTime, at: performance.now()};
    shared.suspend().catch(() => {});
    for (const source of playing) endLater(source, source.endsAt);
  };

  const wake = () => {
    lastSoundAt = performance.now();
    if (!resting) return;
    restedFor += (performance.now() - resting.at) / 1000;
    resting = null;
    shared.resume().catch(() => {});
  };

  // The player feeds its output even while nothing sounds; a buffer that holds sound keeps
  // the context awake, and every player from resting (see player_ticks.js).
  const sounds = (buffer) => {
    if (!buffer) return false;
    for (let channel = 0; channel < buffer.numberOfChannels; ++channel) {
      const samples = buffer.getChannelData(channel);
      for (let i = 0; i < samples.length; ++i) if (samples[i] !== 0) return true;
    }
    return false;
  };

  const startLater = (state, source, args) => {
    if (state.closed) return;
    if (state.suspendedAt !== null) {
      state.waiting.push({source, args});
      return;
    }
    const [when = 0, ...more] = args;
    const startsAt = when > 0 ? clockTime(state, when) : clock();
    source.endsAt = startsAt + (source.buffer?.duration ?? 0);
    if (more.length > 0 || sounds(source.buffer)) {
      window.tdwkTicks?.wake();
      wake();
    } else {
      rest();
    }
    playing.add(source);
    if (resting) {
      endLater(source, source.endsAt);
      return;
    }
    play(source, when > 0 ? contextTime(startsAt) : 0, more);
  };

  const play = (source, when, more) => {
    const node = shared.createBufferSource();
    source.node = node;
    node.buffer = realBuffer(source.buffer);
    for (const args of source.connections) node.connect(...args);
    node.onended = source.end;
    node.start(when, ...more);
  };

  const View = Object.create(Native.prototype);
  // Whatever a view does not define itself, the shared context does for it.
  for (const prototype of [Object.getPrototypeOf(Native.prototype), Native.prototype]) {
    for (const name of Object.getOwnPropertyNames(prototype)) {
      if (name === "constructor") continue;
      const descriptor = Object.getOwnPropertyDescriptor(prototype, name);
      if (typeof descriptor.value === "function") {
        const method = descriptor.value;
        Object.defineProperty(View, name, {
          configurable: true, writable: true,
          value(...args) { return method.apply(shared, args); },
        });
      } else if (descriptor.get) {
        Object.defineProperty(View, name, {
          configurable: true,
          get() { return descriptor.get.call(shared); },
          set(value) { descriptor.set?.call(shared, value); },
        });
      }
    }
  }
  for (const name of ["addEventListener", "removeEventListener", "dispatchEvent"]) {
    View[name] = function (...args) {
      const events = stateOf(this).events;
      return events[name](...args);
    };
  }
  Object.defineProperties(View, {
    destination: {get() { return stateOf(this).output; }},
    currentTime: {get() { return viewTime(stateOf(this)); }},
    onstatechange: {
      get() { return stateOf(this).onstatechange; },
      set(handler) { stateOf(this).onstatechange = handler; },
    },
    state: {
      get() {
        const state = stateOf(this);
        if (state.closed) return "closed";
        if (state.suspendedAt !== null) return "suspended";
        return resting ? "running" : shared.state;
      },
    },
  });

  // A player never lets go of the two buffers it fills, nor of the nodes that last played
  // them, even once it has been taken apart: its audio code holds each in a cycle of its own.
  // Every screen change left them behind, samples and all. A view therefore hands out
  // stand-ins for its buffers, and a closed view lets go of the samples and nodes behind them.
  const realBuffers = new WeakMap();  // stand-in -> {buffer}, the buffer gone once closed
  const realBuffer = (buffer) => realBuffers.has(buffer) ? realBuffers.get(buffer).buffer : buffer;
  View.createBuffer = function (channels, length, sampleRate) {
    const state = stateOf(this);
    const held = {buffer: shared.createBuffer(channels, length, sampleRate)};
    const standIn = {
      get length() { return length; },
      get sampleRate() { return sampleRate; },
      get numberOfChannels() { return channels; },
      get duration() { return length / sampleRate; },
      getChannelData(channel) {
        return held.buffer ? held.buffer.getChannelData(channel) : new Float32Array(length);
      },
      copyToChannel(...args) { held.buffer?.copyToChannel(...args); },
      copyFromChannel(...args) { held.buffer?.copyFromChannel(...args); },
    };
    realBuffers.set(standIn, held);
    // A player makes new buffers when it changes their size and drops the old ones.
    for (const ref of state.buffers) if (!ref.deref()) state.buffers.delete(ref);
    if (state.closed) held.buffer = null;
    else state.buffers.add(new WeakRef(held));
    return standIn;
  };

  // What the player holds for a buffer source: what it sets (the buffer, its outputs, its
  // handler) is kept for the node the buffer gets when it is played. The player uses no more
  // of a buffer source than this.
  View.createBufferSource = function () {
    const state = stateOf(this);
    // The player's handler is kept here, so that a buffer a timer ended is not ended again
    // by the context, and a handler the player took away is never called.
    let handler = null;
    const source = {node: null, buffer: null, connections: [], endsAt: 0, ended: false};
    if (!state.closed) state.sources.add(source);
    const standIn = {
      get buffer() { return source.buffer; },
      set buffer(buffer) { source.buffer = buffer; },
      get onended() { return handler; },
      set onended(value) { handler = typeof value === "function" ? value : null; },
      connect(...args) {
        source.connections.push(args);
        source.node?.connect(...args);
        return args[0];
      },
      disconnect(...args) {
        source.connections = [];
        source.node?.disconnect(...args);
      },
      start(...args) {
        startLater(state, source, args);
      },
      stop(...args) {
        if (source.node) source.node.stop(...args);
        else source.end();
      },
    };
    source.end = () => {
      if (source.ended) return;
      source.ended = true;
      playing.delete(source);
      state.sources.delete(source);
      if (handler) handler.call(standIn, new Event("ended"));
    };
    return standIn;
  };

  const changedState = (view) => {
    const state = stateOf(view);
    const event = new Event("statechange");
    state.events.dispatchEvent(event);
    if (typeof view.onstatechange === "function") view.onstatechange.call(view, event);
  };

  View.suspend = function () {
    const state = stateOf(this);
    if (state.closed || state.suspendedAt !== null) return settled();
    state.suspendedAt = clock();
    state.output.gain.value = 0;
    changedState(this);
    return settled();
  };

  View.resume = function () {
    const state = stateOf(this);
    if (state.closed) return Promise.reject(new DOMException("closed", "InvalidStateError"));
    // A context resting for silence starts again with the first sound, not before.
    const running = resting ? settled() : shared.resume();
    if (state.suspendedAt === null) return running;
    state.pausedFor += clock() - state.suspendedAt;
    state.suspendedAt = null;
    state.output.gain.value = 1;
    const waiting = state.waiting;
    state.waiting = [];
    for (const {source, args} of waiting) startLater(state, source, args);
    changedState(this);
    return running;
  };

  View.close = function () {
    const state = stateOf(this);
    if (state.closed) return settled();
    state.closed = true;
    state.waiting = [];
    state.output.disconnect();
    for (const ref of state.buffers) {
      const held = ref.deref();
      if (held) held.buffer = null;
    }
    state.buffers.clear();
    for (const source of state.sources) {
      source.node = null;
      source.connections = [];
    }
    state.sources.clear();
    changedState(this);
    // The player's handlers hold the player itself.
    state.events = new EventTarget();
    state.onstatechange = null;
    return settled();
  };

  window.AudioContext = function AudioContext(options) {
    if (!shared) shared = new Native(options);
    const view = Object.create(View);
    const output = shared.createGain();
    output.connect(shared.destination);
    views.set(view, {
      output, origin: clock(), pausedFor: 0, suspendedAt: null, closed: false,
      waiting: [], events: new EventTarget(), onstatechange: null,
      buffers: new Set(), sources: new Set(),  // what a closed view lets go of
    });
    return view;
  };
  window.AudioContext.prototype = Native.prototype;
})();
