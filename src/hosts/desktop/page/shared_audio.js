"use strict";

// Every player makes an audio context of its own, and each context keeps a sound stream of the
// web view busy whether its movie sounds or not: the players of a still menu spent more on that
// than on drawing. They share one context instead. What a player gets is a view of it with its
// own output, clock and state, as a context of its own would have: a suspended view is silent
// at once and starts nothing until resumed, a closed one starts nothing again, and neither
// touches the other players' sound.
(() => {
  const Native = window.AudioContext;
  if (typeof Native !== "function") return;
  let shared = null;

  const views = new WeakMap();  // view -> its state
  const stateOf = (view) => views.get(view);
  const settled = () => Promise.resolve();

  // The view's clock stands still while it is suspended, as a context's does.
  const viewTime = (state) =>
      (state.suspendedAt ?? shared.currentTime) - state.origin - state.pausedFor;
  const sharedTime = (state, when) => state.origin + state.pausedFor + when;

  const startLater = (state, node, args) => {
    if (state.closed) return;
    if (state.suspendedAt !== null) {
      state.waiting.push({node, args});
      return;
    }
    const [when = 0, ...rest] = args;
    node.startNow(when > 0 ? sharedTime(state, when) : 0, ...rest);
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
        return state.suspendedAt !== null ? "suspended" : shared.state;
      },
    },
  });

  View.createBufferSource = function () {
    const state = stateOf(this);
    const node = shared.createBufferSource();
    node.startNow = node.start;
    node.start = (...args) => startLater(state, node, args);
    return node;
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
    state.suspendedAt = shared.currentTime;
    state.output.gain.value = 0;
    changedState(this);
    return settled();
  };

  View.resume = function () {
    const state = stateOf(this);
    if (state.closed) return Promise.reject(new DOMException("closed", "InvalidStateError"));
    const running = shared.resume();
    if (state.suspendedAt === null) return running;
    state.pausedFor += shared.currentTime - state.suspendedAt;
    state.suspendedAt = null;
    state.output.gain.value = 1;
    const waiting = state.waiting;
    state.waiting = [];
    for (const {node, args} of waiting) startLater(state, node, args);
    changedState(this);
    return running;
  };

  View.close = function () {
    const state = stateOf(this);
    if (state.closed) return settled();
    state.closed = true;
    state.waiting = [];
    state.output.disconnect();
    changedState(this);
    return settled();
  };

  window.AudioContext = function AudioContext(options) {
    if (!shared) shared = new Native(options);
    const view = Object.create(View);
    const output = shared.createGain();
    output.connect(shared.destination);
    views.set(view, {
      output, origin: shared.currentTime, pausedFor: 0, suspendedAt: null, closed: false,
      waiting: [], events: new EventTarget(), onstatechange: null,
    });
    return view;
  };
  window.AudioContext.prototype = Native.prototype;
})();
