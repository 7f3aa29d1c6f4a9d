"use strict";

// A player runs its movie's frames from its own animation-frame callback, on a clock of its
// own that starts with its first callback: a movie loaded into a started player runs its first
// frame only when that clock next reaches a frame, up to a whole frame period after the movie
// arrived. The page may ask for a player's next frame at once instead; the player's clock then
// runs ahead of the page's by what was skipped, so its later frames keep their spacing.
//
// A player also draws its whole stage after every frame, changed or not, which is most of what
// a still screen costs. A player rests when its picture has not changed for a while, nothing
// sounds and nobody touches the window: it is called only every few frame periods and runs
// the frames due in one go (every frame still runs, and its timers keep their time), so it
// draws a few times a second. Any change of its picture, any sound, input or call from the
// page ends the rest at once. Only a player whose every change the page hears of rests: one
// drawing with the canvas renderer (see still_frames.js), not one drawing with the GPU.
(() => {
  const nativeRequest = window.requestAnimationFrame.bind(window);
  const nativeCancel = window.cancelAnimationFrame.bind(window);
  const clientWidth = Object.getOwnPropertyDescriptor(Element.prototype, "clientWidth");
  const rootNodeOf = Node.prototype.getRootNode;
  const hostOf = Object.getOwnPropertyDescriptor(ShadowRoot.prototype, "host").get;

  let nextId = 1;
  const requests = new Map();     // id -> {callback, nativeId}
  // callback -> its player: {ahead, last, requestId, element, canvas, changedAt}
  const clocks = new WeakMap();
  const callbacks = new WeakMap();  // player element or canvas -> its animation-frame callback
  const frameMsOf = new WeakMap();  // player element -> its movie's frame period
  const watched = new WeakSet();    // canvases whose every change the page hears of
  let running = null;             // the callback being run, until it has read its canvas

  // A picture that has stood this long rests; a resting player is called about this often,
  // for fewer frames at once than the most the player runs in one call (five), so that a late
  // call loses none.
  const restAfterMs = 1000;
  const restingCallMs = 200;
  const mostFramesAtOnce = 4;
  const frameOfScreenMs = 1000 / 60;
  let wokenAt = performance.now();

  // How long a resting player waits before its next call; 0 once it is due or awake.
  const restingFor = (clock, timestamp) => {
    const frameMs = clock.element && frameMsOf.get(clock.element);
    if (!frameMs || clock.last === null) return 0;
    // A player drawing in a way the page cannot watch never knows its picture to be still.
    if (!watched.has(clock.canvas)) return 0;
    const since = Math.max(wokenAt, clock.changedAt);
    if (timestamp - since < restAfterMs) return 0;
    const frames = Math.max(1, Math.min(mostFramesAtOnce, Math.floor(restingCallMs / frameMs)));
    // Resting players of one period are called together, at multiples of it on the page's
    // clock, so that the page draws once for all of them.
    const period = frames * frameMs;
    const lastCall = clock.last - clock.ahead;
    return Math.max(0, (Math.floor(lastCall / period) + 1) * period - timestamp);
  };

  // Requests waiting on a timer, called on the next animation frame instead once woken.
  const waiting = new Set();
  const wakeAll = () => {
    wokenAt = performance.now();
    for (const request of waiting) {
      clearTimeout(request.timer);
      request.timer = 0;
      request.nativeId = nativeRequest(request.tick);
    }
    waiting.clear();
  };

  const clockOf = (callback) => {
    let clock = clocks.get(callback);
    if (!clock) {
      clock = {ahead: 0, last: null, requestId: 0, element: null, canvas: null,
               changedAt: -Infinity, heldSince: null, parked: null};
      clocks.set(callback, clock);
    }
    return clock;
  };

  // A player whose code stopped on a fault of its own (its WebAssembly trapped, or ran out of
  // stack) is left half-way through changing its state, which all the page's players share:
  // none of them can be trusted again, though no panic screen may show. Only the player's code
  // runs WebAssembly.
  const isPlayerFailure = (error) => error instanceof WebAssembly.RuntimeError ||
      (error instanceof RangeError && /wasm/.test(String(error.stack)));

  const run = (callback, clock, timestamp) => {
    // Never backwards, even by the little an animation frame's time may lag the page's clock.
    const time = Math.max(timestamp + clock.ahead, clock.last ?? -Infinity);
    clock.last = time;
    running = callback;
    try {
      callback(time);
    } catch (error) {
      if (isPlayerFailure(error)) window.tdwkTicks.onFailure?.(clock.element, error);
      throw error;
    } finally {
      running = null;
    }
  };

  window.requestAnimationFrame = function (callback) {
    const id = nextId++;
    const clock = clockOf(callback);
    clock.requestId = id;
    const request = {callback, nativeId: 0, timer: 0, tick: null};
    // Waiting on a timer rather than on every animation frame lets the page stop drawing
    // altogether while every player rests. The timer calls the player itself, and a resting
    // player's next request goes straight to a timer: asking for animation frames to learn
    // the time would keep the display's refresh going, and the messages it sends the page.
    const restOnTimer = (timestamp) => {
      const wait = restingFor(clock, timestamp);
      if (wait <= frameOfScreenMs) return wait;
      waiting.add(request);
      request.timer = setTimeout(() => {
        waiting.delete(request);
        request.timer = 0;
        tick(performance.now());
      }, wait);
      return -1;
    };
    const tick = (timestamp) => {
      if (clock.heldSince !== null) {
        clock.parked = request;
        return;
      }
      const wait = restOnTimer(timestamp);
      if (wait < 0) return;
      if (wait > 0) {
        request.nativeId = nativeRequest(tick);
        return;
      }
      requests.delete(id);
      if (clock.requestId === id) clock.requestId = 0;
      run(callback, clock, timestamp);
    };
    request.tick = tick;
    if (restOnTimer(performance.now()) >= 0) request.nativeId = nativeRequest(tick);
    requests.set(id, request);
    return id;
  };
  window.cancelAnimationFrame = function (id) {
    const request = requests.get(id);
    if (!request) return;
    requests.delete(id);
    waiting.delete(request);
    nativeCancel(request.nativeId);
    clearTimeout(request.timer);
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
        if (root instanceof ShadowRoot) {
          const clock = clockOf(running);
          clock.element = hostOf.call(root);
          clock.canvas = this;
          callbacks.set(clock.element, running);
          callbacks.set(this, running);
        }
        running = null;
      }
      return clientWidth.get.call(this);
    },
  });

  // Whatever a child does may change any player's picture.
  for (const type of ["pointerdown", "pointermove", "pointerup", "keydown", "keyup", "wheel"]) {
    window.addEventListener(type, wakeAll, {capture: true});
  }

  // A held player's clock stands still: it runs no frame until let go, and then goes on from
  // where it stopped.
  const letGo = (clock) => {
    if (clock.heldSince === null) return;
    const now = performance.now();
    clock.ahead -= now - clock.heldSince;
    clock.heldSince = null;
    clock.changedAt = now;
    const request = clock.parked;
    clock.parked = null;
    if (request && requests.get(clock.requestId) === request) {
      request.nativeId = nativeRequest(request.tick);
    }
  };
  const clockOfElement = (element) => {
    const callback = callbacks.get(element);
    return callback ? clocks.get(callback) : undefined;
  };

  window.tdwkTicks = {
    // The movie's frame period, without which a player never rests.
    describe(element, frameMs) {
      if (frameMs > 0) frameMsOf.set(element, frameMs);
    },
    // Every change of this canvas's picture will be told (see still_frames.js).
    watch(canvas) {
      watched.add(canvas);
    },
    // A player's canvas shows a picture that differs from its last.
    changed(canvas) {
      const callback = callbacks.get(canvas);
      if (callback) clockOf(callback).changedAt = performance.now();
    },
    // No player rests for a while: something sounds, or the page called a movie.
    wake: wakeAll,
    isPlayerFailure,
    // Called with a player's element (null if not yet known) when its code failed (above).
    onFailure: null,
    // A spare waiting for a movie runs no frames meanwhile: even resting, its frames cost as
    // much as a still movie's. Nothing happens for a player that has not yet ticked.
    hold(element) {
      const clock = clockOfElement(element);
      if (clock && clock.heldSince === null) clock.heldSince = performance.now();
    },
    letGo(element) {
      const clock = clockOfElement(element);
      if (clock) letGo(clock);
    },
    // The player runs its next frame now rather than when its clock reaches it. Nothing
    // happens for a player that has not yet ticked, has stopped ticking or was not described.
    frameNow(element) {
      const callback = callbacks.get(element);
      const clock = callback && clocks.get(callback);
      const frameMs = frameMsOf.get(element);
      if (!clock || !clock.requestId || clock.last === null || !frameMs) return;
      letGo(clock);
      clock.changedAt = performance.now();
      const request = requests.get(clock.requestId);
      requests.delete(clock.requestId);
      clock.requestId = 0;
      if (request) {
        waiting.delete(request);
        nativeCancel(request.nativeId);
        clearTimeout(request.timer);
      }
      // Exactly one frame period after the last tick: the player's clock then holds one frame
      // due, never two, whatever part of a period it had gathered.
      const now = performance.now();
      const time = clock.last + frameMs;
      clock.ahead = time - now;
      run(callback, clock, now);
    },
  };
})();
