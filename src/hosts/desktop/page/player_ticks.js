"use strict";

// A player runs its movie's frames from its own animation-frame callback, on a clock of its
// own that starts with its first callback: a movie loaded into a started player runs its first
// frame only when that clock next reaches a frame, up to a whole frame period after the movie
// arrived. The page may ask for a player's next frame at once instead; the player's clock then
// runs ahead of the page's by what was skipped, so its later frames keep their spacing.
(() => {
  const nativeRequest = window.requestAnimationFrame.bind(window);
  const nativeCancel = window.cancelAnimationFrame.bind(window);
  const clientWidth = Object.getOwnPropertyDescriptor(Element.prototype, "clientWidth");
  const rootNodeOf = Node.prototype.getRootNode;
  const hostOf = Object.getOwnPropertyDescriptor(ShadowRoot.prototype, "host").get;

  let nextId = 1;
  const requests = new Map();     // id -> {callback, nativeId}
  const clocks = new WeakMap();   // callback -> {ahead, last, requestId}
  const callbacks = new WeakMap();  // player element -> its animation-frame callback
  let running = null;             // the callback being run, until it has read its canvas

  const clockOf = (callback) => {
    let clock = clocks.get(callback);
    if (!clock) {
      clock = {ahead: 0, last: null, requestId: 0};
      clocks.set(callback, clock);
    }
    return clock;
  };

  const run = (callback, clock, timestamp) => {
    // Never backwards, even by the little an animation frame's time may lag the page's clock.
    const time = Math.max(timestamp + clock.ahead, clock.last ?? -Infinity);
    clock.last = time;
    running = callback;
    try {
      callback(time);
    } finally {
      running = null;
    }
  };

  window.requestAnimationFrame = function (callback) {
    const id = nextId++;
    const clock = clockOf(callback);
    clock.requestId = id;
    const nativeId = nativeRequest((timestamp) => {
      requests.delete(id);
      if (clock.requestId === id) clock.requestId = 0;
      run(callback, clock, timestamp);
    });
    requests.set(id, {callback, nativeId});
    return id;
  };
  window.cancelAnimationFrame = function (id) {
    const request = requests.get(id);
    if (!request) return;
    requests.delete(id);
    nativeCancel(request.nativeId);
    const clock = clocks.get(request.callback);
    if (clock && clock.requestId === id) clock.requestId = 0;
  };

  // A player's callback reads the size of its canvas before anything else: that tells whose
  // callback it is.
  Object.defineProperty(Element.prototype, "clientWidth", {
    ...clientWidth,
    get() {
      if (running && this instanceof HTMLCanvasElement) {
        const root = rootNodeOf.call(this);
        if (root instanceof ShadowRoot) callbacks.set(hostOf.call(root), running);
        running = null;
      }
      return clientWidth.get.call(this);
    },
  });

  window.tdwkTicks = {
    // The player runs its next frame now rather than when its clock reaches it. Nothing
    // happens for a player that has not yet ticked or has stopped ticking.
    frameNow(element, frameMs) {
      const callback = callbacks.get(element);
      const clock = callback && clocks.get(callback);
      if (!clock || !clock.requestId || clock.last === null || !(frameMs > 0)) return;
      const request = requests.get(clock.requestId);
      requests.delete(clock.requestId);
      clock.requestId = 0;
      if (request) nativeCancel(request.nativeId);
      // Exactly one frame period after the last tick: the player's clock then holds one frame
      // due, never two, whatever part of a period it had gathered.
      const now = performance.now();
      const time = clock.last + frameMs;
      clock.ahead = time - now;
      run(callback, clock, now);
    },
  };
})();
