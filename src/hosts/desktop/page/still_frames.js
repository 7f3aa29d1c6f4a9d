"use strict";

// The player draws its whole stage every frame, even when nothing on it has moved, and each
// drawing makes the web view paint the window again: a still menu kept a processor core busy.
// Each player's canvas is therefore drawn into an unseen canvas of its own (a child of the
// player's canvas, which is never rendered), and the page copies that to the player's canvas
// only when a frame's drawing differs from the last frame's. A frame is told from the last by
// everything that decides its pixels: the canvas's size, the context's state when the frame
// began, every drawing call with its arguments, and for each object drawn with, what it holds
// (a path's making, a matrix's values) or how often it has been changed since.
//
// A still picture's next frame is not even drawn into the unseen canvas: after a frame like the
// last, a frame's drawing calls wait until it is over and are made only if it differs. Calls
// that would not draw the same later are made at once, with those waiting before them: those
// that read the context's state, and those that change an object a waiting call draws with.
// The context's state after a frame is then the whole frame's or, for a frame not drawn, the
// same as after the last one.
(() => {
  const Context = CanvasRenderingContext2D;
  const getContext = HTMLCanvasElement.prototype.getContext;
  const canvasWidth = Object.getOwnPropertyDescriptor(HTMLCanvasElement.prototype, "width");
  const canvasHeight = Object.getOwnPropertyDescriptor(HTMLCanvasElement.prototype, "height");
  const widthOf = (canvas) => canvasWidth.get.call(canvas);
  const heightOf = (canvas) => canvasHeight.get.call(canvas);

  // How often an object that is drawn with has been changed.
  const versions = new WeakMap();
  const changed = (object) => versions.set(object, (versions.get(object) || 0) + 1);
  const version = (object) => versions.get(object) || 0;

  // The frames being drawn in this task, one per player canvas, compared once it is over.
  const open = new Set();

  // The objects that waiting drawing calls draw with.
  const drawnWith = new Set();
  // Only the first frame that differs after a still one waits and is drawn here: the frames
  // after it are drawn as they are made.
  const drawWaiting = (slot) => {
    const waiting = slot.waiting;
    slot.deferring = false;
    for (let i = 0; i < waiting.length; i += 2 + waiting[i + 1]) {
      waiting[i].apply(slot.real, waiting.slice(i + 2, i + 2 + waiting[i + 1]));
    }
    waiting.length = 0;
  };
  const drawAllWaiting = () => {
    for (const frame of open) if (frame.slot.waiting.length > 0) drawWaiting(frame.slot);
    drawnWith.clear();
  };
  const aboutToChange = (object) => {
    if (drawnWith.has(object)) drawAllWaiting();
  };
  // Arguments that stay as they are until the frame is over, unless changed through the calls
  // watched here; anything else is drawn with at once.
  const lasting = (value) => value === null || typeof value !== "object" ||
      value instanceof NativePath || value instanceof HTMLCanvasElement ||
      value instanceof CanvasGradient || value instanceof CanvasPattern ||
      value instanceof ImageBitmap || value instanceof DOMMatrixReadOnly &&
      !(value instanceof DOMMatrix);
  // Puts the call on the slot's waiting list; false if it must be made now.
  const wait = (slot, fn, args) => {
    if (!slot.deferring) return false;
    for (let i = 0; i < args.length; ++i) {
      if (!lasting(args[i])) {
        drawWaiting(slot);
        return false;
      }
    }
    const waiting = slot.waiting;
    waiting.push(fn, args.length);
    for (let i = 0; i < args.length; ++i) {
      waiting.push(args[i]);
      if (args[i] !== null && typeof args[i] === "object") drawnWith.add(args[i]);
    }
    return true;
  };

  // A path made of a few parts is keyed by its parts (the player makes such paths afresh each
  // frame from the shapes' own); a larger one by itself and its changes.
  const smallPath = 24;
  const pathParts = new WeakMap();  // Path2D -> its parts' keys, while small
  const NativePath = Path2D;

  // Appends to `out` what decides the pixels an argument draws.
  const keyOf = (value, out) => {
    if (value === null || typeof value !== "object") {
      out.push(value);
    } else if (value instanceof DOMMatrixReadOnly) {
      out.push("matrix", value.a, value.b, value.c, value.d, value.e, value.f);
    } else if (value instanceof NativePath) {
      const parts = pathParts.get(value);
      if (parts) out.push("path", parts.length, ...parts);
      else out.push(value, version(value));
    } else if (value instanceof HTMLCanvasElement) {
      out.push(value, version(value), widthOf(value), heightOf(value));
    } else if (value instanceof HTMLImageElement) {
      out.push(value, value.complete, value.naturalWidth, value.naturalHeight);
    } else if (value instanceof CanvasGradient || value instanceof CanvasPattern ||
               value instanceof ImageBitmap) {
      out.push(value, version(value));
    } else if (Array.isArray(value)) {
      out.push("array", value.length);
      for (const item of value) keyOf(item, out);
    } else {
      // Anything else may change unseen (image data, video): such a frame always differs.
      out.push({});
    }
  };

  const notePathPart = (path, name, args) => {
    const parts = pathParts.get(path);
    if (!parts) {
      changed(path);
      return;
    }
    parts.push(name, args.length);
    for (const arg of args) keyOf(arg, parts);
    if (parts.length > smallPath) {
      pathParts.delete(path);
      changed(path);
    }
  };
  window.Path2D = function Path2D(...args) {
    const path = new NativePath(...args);
    const parts = [];
    pathParts.set(path, parts);
    if (args.length > 0) notePathPart(path, "new", args);
    return path;
  };
  window.Path2D.prototype = NativePath.prototype;
  for (const name of ["addPath", "moveTo", "lineTo", "bezierCurveTo", "quadraticCurveTo", "arc",
                      "arcTo", "ellipse", "rect", "roundRect", "closePath"]) {
    const method = NativePath.prototype[name];
    if (typeof method !== "function") continue;
    NativePath.prototype[name] = function (...args) {
      aboutToChange(this);
      const result = method.apply(this, args);
      notePathPart(this, name, args);
      return result;
    };
  }

  // Changes drawn with that happen outside the context: a pattern's transform, a colour filter's
  // matrix (an SVG element the context's filter names).
  const noteInFrames = (name, args) => {
    for (const frame of open) {
      frame.entries.push(name, args.length);
      for (const arg of args) keyOf(arg, frame.entries);
    }
  };
  const patternTransform = CanvasPattern.prototype.setTransform;
  CanvasPattern.prototype.setTransform = function (...args) {
    aboutToChange(this);
    const result = patternTransform.apply(this, args);
    changed(this);
    noteInFrames("pattern", [this, ...args]);
    return result;
  };
  const addColorStop = CanvasGradient.prototype.addColorStop;
  CanvasGradient.prototype.addColorStop = function (...args) {
    aboutToChange(this);
    const result = addColorStop.apply(this, args);
    changed(this);
    return result;
  };
  const setAttribute = Element.prototype.setAttribute;
  Element.prototype.setAttribute = function (...args) {
    if (this instanceof SVGElement) drawAllWaiting();
    const result = setAttribute.apply(this, args);
    if (this instanceof SVGElement) noteInFrames("attribute", [...args]);
    return result;
  };

  // The context's state a frame begins with, which it may draw with without setting.
  const stateNames = ["globalAlpha", "globalCompositeOperation", "filter", "fillStyle",
                      "strokeStyle", "lineWidth", "lineCap", "lineJoin", "miterLimit",
                      "lineDashOffset", "imageSmoothingEnabled", "imageSmoothingQuality",
                      "shadowBlur", "shadowColor", "shadowOffsetX", "shadowOffsetY", "font",
                      "textAlign", "textBaseline", "direction"]
      .filter((name) => name in Context.prototype);

  // Calls that draw nothing.
  const readers = new Set([
    "getImageData", "getTransform", "getLineDash", "isPointInPath", "isPointInStroke",
    "measureText", "createLinearGradient", "createRadialGradient", "createConicGradient",
    "createPattern", "createImageData", "getContextAttributes", "isContextLost"]);

  // What each context made through getContext is: the real context it draws with, the canvas it
  // was asked of, and for a player's canvas, the unseen canvas it draws into and the last
  // frame shown.
  const slots = new WeakMap();

  const beginFrame = (slot) => {
    const {canvas, drawing, real} = slot;
    if (!slot.attached) slot.attached = canvas.isConnected;
    if (widthOf(drawing) !== widthOf(canvas)) canvasWidth.set.call(drawing, widthOf(canvas));
    if (heightOf(drawing) !== heightOf(canvas)) canvasHeight.set.call(drawing, heightOf(canvas));
    // Two lists a canvas, the last frame's and this one's, so that frames make no garbage.
    const entries = slot.unused || [];
    slot.unused = null;
    entries.length = 0;
    entries.push(widthOf(canvas), heightOf(canvas));
    for (const name of stateNames) keyOf(real[name], entries);
    keyOf(real.getTransform(), entries);
    keyOf(real.getLineDash(), entries);
    slot.frame = {slot, entries};
    slot.deferring = slot.still;
    if (open.size === 0) queueMicrotask(endFrames);
    open.add(slot.frame);
  };

  const sameEntries = (a, b) => {
    if (!a || a.length !== b.length) return false;
    for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return false;
    return true;
  };

  const endFrames = () => {
    for (const frame of open) {
      const slot = frame.slot;
      slot.frame = null;
      slot.still = sameEntries(slot.shownEntries, frame.entries);
      if (slot.still) {
        slot.waiting.length = 0;
        slot.unused = frame.entries;
        continue;
      }
      drawWaiting(slot);
      slot.unused = slot.shownEntries;
      slot.shownEntries = frame.entries;
      if (widthOf(slot.drawing) === 0 || heightOf(slot.drawing) === 0) continue;
      // A resized canvas forgets its state: the copy replaces every pixel each time.
      slot.screen.globalCompositeOperation = "copy";
      slot.screen.drawImage(slot.drawing, 0, 0);
      window.tdwkTicks?.changed(slot.canvas);
    }
    open.clear();
    drawnWith.clear();
  };

  // The list a drawing call on the slot's context is noted in; none for a canvas that is not a
  // player's, whose drawing only counts as a change of it. The calls below read their own
  // arguments rather than gathering them into arrays: a player makes thousands a second.
  const entriesOf = (slot) => {
    if (!slot.drawing) {
      aboutToChange(slot.canvas);
      changed(slot.canvas);
      return null;
    }
    if (!slot.frame) beginFrame(slot);
    return slot.frame.entries;
  };

  // A canvas drawn with is cleared when resized.
  for (const [name, descriptor] of [["width", canvasWidth], ["height", canvasHeight]]) {
    Object.defineProperty(HTMLCanvasElement.prototype, name, {
      ...descriptor,
      set(value) {
        aboutToChange(this);
        descriptor.set.call(this, value);
      },
    });
  }

  // Contexts are objects of the context's own class, so the player takes them for real ones.
  const Recording = Object.create(Context.prototype);
  for (const name of Object.getOwnPropertyNames(Context.prototype)) {
    if (name === "constructor") continue;
    const descriptor = Object.getOwnPropertyDescriptor(Context.prototype, name);
    if (typeof descriptor.value === "function") {
      const method = descriptor.value;
      const draws = !readers.has(name);
      const readsState = !draws && !name.startsWith("create");
      Recording[name] = function () {
        const slot = slots.get(this);
        if (readsState && slot.waiting.length > 0) drawWaiting(slot);
        const entries = draws ? entriesOf(slot) : null;
        if (entries) {
          entries.push(name, arguments.length);
          for (let i = 0; i < arguments.length; ++i) keyOf(arguments[i], entries);
          if (wait(slot, method, arguments)) return undefined;
        }
        return method.apply(slot.real, arguments);
      };
    } else if (name === "canvas") {
      Object.defineProperty(Recording, name, {get() { return slots.get(this).canvas; }});
    } else if (descriptor.get) {
      const {get, set} = descriptor;
      Object.defineProperty(Recording, name, {
        get() {
          const slot = slots.get(this);
          if (slot.waiting.length > 0) drawWaiting(slot);
          return get.call(slot.real);
        },
        set: set && function (value) {
          const slot = slots.get(this);
          const entries = entriesOf(slot);
          if (entries) {
            entries.push(name, 1);
            keyOf(value, entries);
            if (wait(slot, set, arguments)) return;
          }
          set.call(slot.real, value);
        },
      });
    }
  }

  // A player taken apart leaves its canvases to the garbage collector, which keeps them for
  // many screens, or for good where the player still holds them: once out of the document,
  // both of a player's canvases give their pixels back.
  const players = new Set();  // the slots of players' canvases
  const release = () => {
    for (const slot of players) {
      if (!slot.attached || slot.canvas.isConnected) continue;
      players.delete(slot);
      for (const canvas of [slot.drawing, slot.canvas]) {
        canvasWidth.set.call(canvas, 0);
        canvasHeight.set.call(canvas, 0);
      }
      slot.shownEntries = null;
      slot.unused = null;
      slot.waiting.length = 0;
    }
  };
  setInterval(release, 1000);

  const contexts = new WeakMap();  // canvas -> its recording context
  HTMLCanvasElement.prototype.getContext = function (type, options, ...rest) {
    if (type !== "2d") return getContext.call(this, type, options, ...rest);
    const known = contexts.get(this);
    if (known) return known;
    const real = getContext.call(this, type, options, ...rest);
    if (!real) return real;
    // A player's own canvas is asked for an opaque context; its images' canvases are not.
    const slot = {canvas: this, real, drawing: null, screen: null, frame: null, shownEntries: null,
                  unused: null, attached: false, waiting: [], deferring: false, still: false};
    if (options && options.alpha === false) {
      const drawing = document.createElement("canvas");
      this.appendChild(drawing);
      slot.drawing = drawing;
      slot.screen = real;
      slot.real = getContext.call(drawing, type, options, ...rest);
      players.add(slot);
      window.tdwkTicks?.watch(this);
    }
    const context = Object.create(Recording);
    slots.set(context, slot);
    contexts.set(this, context);
    return context;
  };
})();
