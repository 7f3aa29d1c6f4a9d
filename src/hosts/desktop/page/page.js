"use strict";

// The players' page of the desktop host. The host sends the shell's calls in order through
// tdwk.run(); each layer shows one player at a time, which plays the bridge movie around the
// shell's movie. Calls made before a movie has loaded wait and are applied, in order, once the
// bridge says it has. Movie commands go to the host as script messages.
(() => {
  const params = new URLSearchParams(location.search);
  const sparesWanted = params.get("spares") !== "0";
  const publicPath = new URL("ruffle/", location.href).href;

  window.RufflePlayer = window.RufflePlayer || {};
  window.RufflePlayer.config = {publicPath, polyfills: false};

  // The player's WebAssembly module is shipped compressed, a third of its size. The page is
  // handed what it asks for a few kilobytes at a time, each piece a message between processes,
  // so the whole module took most of a second to arrive; now it is inflated as it arrives and
  // compiled as it is inflated.
  const fetchPage = window.fetch;
  window.fetch = function (resource, ...rest) {
    const url = String(resource?.url ?? resource);
    if (!url.startsWith(publicPath) || !url.endsWith(".wasm")) {
      return fetchPage.call(this, resource, ...rest);
    }
    return fetchPage.call(this, `${url}.gz`).then((packed) => !packed.ok ? packed
        : new Response(packed.body.pipeThrough(new DecompressionStream("gzip")),
                       {headers: {"Content-Type": "application/wasm"}}));
  };

  const post = (message) => window.webkit.messageHandlers.tdwk.postMessage(JSON.stringify(message));
  const log = (text) => post({type: "log", text: String(text)});
  // A fault in the player's code leaves the page's players broken wherever it is reported,
  // even where no panic screen follows (a player being made or starting).
  window.addEventListener("error", (e) => {
    log(`${e.message} (${e.filename}:${e.lineno})`);
    if (window.tdwkTicks.isPlayerFailure(e.error)) playerFailed(null);
    watchForPanic();
  });
  // The player reports its own failures (a movie it cannot load, say) on the console.
  const consoleError = console.error.bind(console);
  console.error = (...args) => {
    log(args.map(String).join(" "));
    consoleError(...args);
    watchForPanic();
  };
  // A player that panics shows its panic screen and is destroyed, saying so on the console;
  // after that no player of this page plays again. The host is told which layers panicked and
  // restarts the page.
  const consoleLog = console.log.bind(console);
  console.log = (...args) => {
    consoleLog(...args);
    watchForPanic();
  };
  const shadowOf = Object.getOwnPropertyDescriptor(Element.prototype, "shadowRoot").get;
  let panicked = false;
  let panicCheck = 0;
  const showsPanic = (element) => shadowOf.call(element)?.getElementById("panic-details-modal");
  // The layers whose movie failed: the one given, and those whose player shows a panic. A
  // player that is not a layer's movie (a spare being made) may panic too, and take the
  // page's players with it: the host then restarts the page, blaming no movie.
  const reportFailure = (element) => {
    panicked = true;
    const failed = layers.filter((l) => [l.shown, l.incoming].some(
        (p) => p && (p.element === element || showsPanic(p.element))));
    post({type: "panic", controls: failed.map((l) => l.name)});
  };
  const watchForPanic = () => {
    if (panicked || panicCheck) return;
    panicCheck = setTimeout(() => {
      panicCheck = 0;
      if (!panicked && [...document.querySelectorAll("ruffle-player")].some(showsPanic)) {
        reportFailure(null);
      }
    }, 0);
  };
  // A player whose code failed on a fault of its own (player_ticks.js) may show no panic
  // screen, and leaves every player of the page as broken as a panic does.
  const playerFailed = (element) => {
    if (!panicked) reportFailure(element);
  };
  window.tdwkTicks.onFailure = playerFailed;
  window.addEventListener("unhandledrejection", (e) => {
    log(e.reason);
    if (window.tdwkTicks.isPlayerFailure(e.reason)) playerFailed(null);
    watchForPanic();
  });

  // Options of every movie: scripting and commands on (the player sends movie commands only
  // then), links and the player's own screens and menus off.
  const movieOptions = {
    allowScriptAccess: true,
    allowNetworking: "all",
    openUrlMode: "deny",
    autoplay: "on",
    unmuteOverlay: "hidden",
    splashScreen: false,
    contextMenu: "off",
    showSwfDownload: false,
    letterbox: "off",
    warnOnUnsupportedContent: false,
    upgradeToHttps: false,
    compatibilityRules: false,
    logLevel: "error",
    publicPath,
  };
  // The host chooses the renderer this machine draws fastest.
  if (params.get("renderer")) movieOptions.preferredRenderer = params.get("renderer");

  // The latency benchmark's probe, which the host puts in the page only when it measures.
  const probe = window.tdwkLatencyProbe || null;

  // Variables the movie's load can carry in its query: the player defines them on the movie's
  // root before its first frame runs. Other names are paths or properties and wait for the load.
  const simpleName = /^[A-Za-z][A-Za-z0-9_]*$/;

  // A movie's ExternalInterface callbacks become read-only properties of its player element
  // under any name the movie chooses ("onFSCommand", "remove", "style", "ruffle", the bridge's
  // own): the page reaches the element and the player only through their prototypes.
  const elementRemove = Element.prototype.remove;
  const styleOf = (element) =>
    Object.getOwnPropertyDescriptor(HTMLElement.prototype, "style").get.call(element);
  const ruffleOf = (player) => Object.getPrototypeOf(player).ruffle.call(player);
  const callMovie = (player, name, ...args) => {
    window.tdwkTicks.wake();
    try {
      return ruffleOf(player).callExternalInterface(name, ...args);
    } catch (error) {
      if (window.tdwkTicks.isPlayerFailure(error)) playerFailed(player);
      throw error;
    }
  };

  // The player adds listeners to the document for every player element it makes and never
  // takes them away, so that each retired player stayed in memory with its whole shadow tree.
  // They are noted while the element is made, and taken away with it.
  const addListener = EventTarget.prototype.addEventListener;
  const removeListener = EventTarget.prototype.removeEventListener;
  const makePlayerElement = () => {
    const added = [];
    const targets = [document, document.documentElement];
    const noting = function (...args) {
      added.push({target: this, args});
      return addListener.apply(this, args);
    };
    for (const target of targets) target.addEventListener = noting;
    try {
      const element = window.RufflePlayer.newest().createPlayer();
      return {element, removeListeners: () => {
        for (const {target, args} of added) removeListener.apply(target, args);
      }};
    } finally {
      for (const target of targets) delete target.addEventListener;
    }
  };

  // A movie's first frame runs as soon as its player has the whole movie, not when the
  // player's clock next reaches a frame: the player reads a movie whole before it plays it.
  const pathOf = (url) => {
    const parsed = new URL(url, location.href);
    return parsed.origin + parsed.pathname;
  };
  const readWhole = Response.prototype.arrayBuffer;
  Response.prototype.arrayBuffer = function () {
    const path = pathOf(this.url);
    return readWhole.call(this).then((bytes) => {
      setTimeout(() => {
        for (const layer of layers) {
          // The bridge too: it is read whole as the movie's first frame waits for it.
          for (const player of [layer.incoming, layer.spare]) {
            if (!player) continue;
            const arrived = player.state === "loading" ? player.movieUrl
                : player.state === "starting" ? player.bridgeUrl : null;
            if (arrived && pathOf(arrived) === path) window.tdwkTicks.frameNow(player.element);
          }
        }
      }, 0);
      return bytes;
    });
  };

  // One player of a layer: started on a bridge movie, given at most one movie, then retired,
  // so that nothing a movie leaves behind (intervals, listeners, globals) reaches the next.
  // States: "starting" (bridge loading), "ready" (takes a movie), "loading", "loaded",
  // "failed" (plays nothing) and "retired".
  class Player {
    constructor(layer, bridgeUrl, shape, spare) {
      this.layer = layer;
      this.bridgeUrl = bridgeUrl;
      this.shape = shape;
      this.spare = spare;
      this.state = "starting";
      this.movieUrl = null;
      this.wanted = null;  // the movie to load once started
      this.onLoaded = null;
      this.onCommand = null;
      probe?.mark(`${layer.name} player`);
      const {element, removeListeners} = makePlayerElement();
      this.element = element;
      this.removeListeners = removeListeners;
      // A spare takes neither the pointer nor the keyboard until it plays a movie.
      if (spare) this.element.classList.add("spare");
      this.element.inert = spare;
      this.element.onFSCommand = (command, args) => this.fscommand(command, args);
      // The shape starts with the frame rate, which a started player keeps.
      if (shape) window.tdwkTicks.describe(this.element, 1000 / parseFloat(shape));
      // Beneath whatever the layer shows, until it has something to show.
      layer.element.prepend(this.element);
      const settings = layer.settings;
      ruffleOf(this.element).load({
        ...movieOptions,
        url: bridgeUrl,
        scale: settings.scale,
        salign: settings.salign,
        quality: settings.quality,
        wmode: settings.wmode || "window",
        menu: settings.menu,
      }).catch((error) => this.fail(`${bridgeUrl}: ${error}`));
    }

    // Loads the movie as soon as the bridge takes it.
    load(url, background) {
      window.tdwkTicks.letGo(this.element);
      this.element.classList.remove("spare");
      this.element.inert = false;
      this.movieUrl = url;
      this.wanted = {url, background};
      if (this.state === "ready") this.startLoading();
      else if (this.state === "failed") this.arrived();
    }

    startLoading() {
      this.state = "loading";
      try {
        callMovie(this.element, "LoadMovie", this.wanted.url, this.wanted.background);
      } catch (error) {
        this.fail(`${this.wanted.url}: ${error}`);
      }
    }

    fscommand(command, args) {
      if (this.state === "retired") return;
      // The player is still running the bridge's script during these and takes no call
      // until it has returned.
      if (command === "tdwk_bridge_ready") {
        queueMicrotask(() => {
          if (this.state !== "starting") return;
          this.state = "ready";
          probe?.mark(`${this.layer.name} bridge ready`);
          // A spare is held, not suspended: a resumed player would run its first frame only
          // a whole frame period later.
          if (this.wanted) this.startLoading();
          else window.tdwkTicks.hold(this.element);
        });
      } else if (command === "tdwk_bridge_loaded") {
        queueMicrotask(() => {
          if (this.state !== "loading") return;
          this.state = "loaded";
          probe?.mark(`${this.layer.name} movie loaded`);
          this.arrived();
        });
      } else if (this.state === "loading" || this.state === "loaded") {
        if (this.onCommand) this.onCommand(command, args);
      }
    }

    fail(reason) {
      if (this.state === "retired" || this.state === "failed") return;
      log(`${this.layer.name}: ${reason}`);
      this.state = "failed";
      if (this.wanted) this.arrived();
    }

    arrived() {
      if (this.onLoaded) this.onLoaded(this);
    }

    // A replaced movie falls silent at once and goes on drawing until it leaves the screen: a
    // suspended player would show its play button over the movie meanwhile.
    silence() {
      if (this.state === "retired") return;
      try {
        ruffleOf(this.element).volume = 0;
      } catch (error) {
        log(`${this.layer.name}: silencing a replaced movie failed: ${error}`);
      }
    }

    // Stops every frame, script and sound and is gone from the screen at once; taken apart
    // after the calls in hand, which costs several milliseconds.
    retire() {
      if (this.state === "retired") return;
      try {
        ruffleOf(this.element).suspend();
      } catch (error) {
        log(`${this.layer.name}: stopping a replaced movie failed: ${error}`);
      }
      this.state = "retired";
      this.onLoaded = null;
      this.onCommand = null;
      // Its commands are already ignored (it is retired).
      styleOf(this.element).display = "none";
      setTimeout(() => {
        elementRemove.call(this.element);
        this.removeListeners();
      }, 0);
    }
  }

  // A layer: the player on screen, the one that replaces it once its movie's first frame has
  // been drawn, and a started spare for the next movie of the same shape.
  class Layer {
    constructor(name, settings) {
      this.name = name;
      this.settings = settings;
      this.element = document.createElement("div");
      this.element.className = "layer";
      this.element.style.zIndex = settings.stacking;
      document.body.appendChild(this.element);
      this.shown = null;     // the player on screen
      this.incoming = null;  // the player of the latest movie, until it is on screen
      this.spare = null;
      this.request = null;   // a load not yet started: {call, cause}
      this.pending = [];     // calls waiting for the latest movie
      this.loads = 0;
      this.spareTimer = 0;
    }

    get stacking() {
      return Number(this.element.style.zIndex) || 0;
    }

    // The player the shell's calls go to.
    get current() {
      return this.incoming || this.shown;
    }

    get state() {
      if (this.request) return "loading";
      const player = this.current;
      if (!player || player.state === "failed" || player.state === "retired") return "empty";
      return player.state === "loaded" ? "loaded" : "loading";
    }

    // A new movie replaces the layer's: the old one falls silent now and stays on screen until
    // the new one has drawn its first frame. The load starts when the calls in hand have been
    // taken, so that the variables set right after it can travel with it.
    load(call) {
      this.forget();
      this.loads += 1;
      if (this.incoming) this.incoming.retire();
      this.incoming = null;
      if (this.shown) this.shown.silence();
      this.request = null;
      if (call.url === null || call.url === undefined) {
        if (this.shown) this.shown.retire();
        this.shown = null;
        return;
      }
      this.request = {call, load: this.loads};
      probe?.load(this.name, this.loads);
    }

    start() {
      const {call, load} = this.request;
      this.request = null;
      const query = [];
      while (this.pending.length > 0 && this.pending[0].op === "set" &&
             simpleName.test(String(this.pending[0].name))) {
        const set = this.pending.shift();
        query.push(`${set.name}=${encodeURIComponent(String(set.value))}`);
      }
      const url = query.length > 0 ? `${call.url}?${query.join("&")}` : call.url;

      let player = null;
      if (this.spare && call.shape && this.spare.shape === call.shape) {
        player = this.spare;
        this.spare = null;
      } else {
        player = new Player(this, call.bridge, call.shape || null, false);
      }
      this.incoming = player;
      player.onCommand = (command, args) => this.command(player, command, args);
      player.onLoaded = () => this.arrived(player, load);
      player.load(url, Number(call.background ?? 0xffffff));
    }

    arrived(player, load) {
      if (player !== this.incoming) return;
      const waiting = this.pending;
      this.pending = [];
      for (const call of waiting) this.apply(call);
      // The player draws the frame that ran this; the next animation frame shows it.
      requestAnimationFrame(() => this.show(player, load));
    }

    show(player, load) {
      if (player !== this.incoming) return;
      // The keyboard stays with the layer's movie, and goes to the first movie on screen
      // without waiting for a click: the page may take a key before a click sent earlier
      // while it was busy, and a player takes keys only once it has the focus.
      const active = document.activeElement;
      const focused = this.shown ? Node.prototype.contains.call(this.shown.element, active) : false;
      const nobodyFocused = !active || active === document.body;
      if (this.shown) this.shown.retire();
      if (focused || nobodyFocused) HTMLElement.prototype.focus.call(player.element, {preventScroll: true});
      this.shown = player;
      this.incoming = null;
      probe?.shown(this.name, load, player.movieUrl, player.spare ? "spare" : "new");
      // Told once the frame that shows it has been drawn: the layer's load-th movie is on screen.
      requestAnimationFrame(() => post({type: "shown", control: this.name, load}));
      this.prepareSpare();
      startLoads();
    }

    // A layer that changes movies keeps a player started for the shape of the movie it shows,
    // built once the page is idle.
    prepareSpare() {
      const shown = this.shown;
      if (!sparesWanted || !shown || !shown.shape || (this.loads < 2 && !this.inFront())) return;
      if (this.spare && this.spare.shape === shown.shape) return;
      // After the new movie's first frames, between two frames: a page playing a movie is
      // never idle for long, so not later than half a second on.
      clearTimeout(this.spareTimer);
      this.spareTimer = setTimeout(() => {
        const whenIdle = window.requestIdleCallback || ((f) => setTimeout(f, 0));
        whenIdle(() => {
          if (this.shown !== shown || this.incoming || this.request) return;
          if (this.spare) this.spare.retire();
          this.spare = new Player(this, shown.bridgeUrl, shown.shape, true);
        }, {timeout: 500});
      }, 100);
    }

    inFront() {
      return layers.every((other) => other === this || other.stacking < this.stacking);
    }

    // The movie is gone: waiting calls are dropped and waiting reads answered with nothing.
    forget() {
      for (const call of this.pending) if (call.resolve) call.resolve(null);
      this.pending = [];
    }

    command(player, command, args) {
      if (player !== this.current) return;
      probe?.command(this.name, command, args);
      post({type: "fscommand", control: this.name, command: String(command),
            args: String(args ?? "")});
    }

    // A call to the movie: applied now when it has loaded, later while it loads.
    call(call) {
      switch (this.state) {
        case "loaded": return this.apply(call);
        case "loading": return new Promise((resolve) => this.pending.push({...call, resolve}));
        default: return null;
      }
    }

    apply(call) {
      let result = null;
      const element = this.current ? this.current.element : null;
      try {
        if (this.state === "loaded") {
          switch (call.op) {
            case "set":
              callMovie(element, "SetVariable", String(call.name), "s:" + String(call.value));
              break;
            case "goto": callMovie(element, "GotoFrame", call.frame); break;
            case "play": callMovie(element, "Play"); break;
            case "get": {
              const value = callMovie(element, "GetVariable", String(call.name));
              // The bridge marks every text "s:" so that an empty one is told from none.
              result = typeof value === "string" && value.startsWith("s:") ? value.slice(2) : null;
              break;
            }
          }
        }
      } catch (error) {
        log(`${this.name}: ${call.op} failed: ${error}`);
      }
      if (call.resolve) call.resolve(result);
      return result;
    }

    place(call) {
      const style = this.element.style;
      style.left = `${call.left}px`;
      style.top = `${call.top}px`;
      style.width = `${Math.max(0, call.width)}px`;
      style.height = `${Math.max(0, call.height)}px`;
    }
  }

  const layers = [];
  const layer = (name) => layers.find((l) => l.name === name);

  const run = (call) => {
    if (call.op === "create") {
      if (!layer(call.control)) layers.push(new Layer(call.control, call));
      return;
    }
    const target = layer(call.control);
    if (!target) return;
    switch (call.op) {
      case "place": target.place(call); break;
      case "front": target.element.style.zIndex = call.stacking; break;
      case "load": target.load(call); break;
      default: target.call(call); break;
    }
  };

  // Loads start once a batch of calls has been taken, the front layer's first. At start-up the
  // front layer's movie (the introduction) starts alone and the others once it is on screen:
  // players started beside it would share the processor with it while the player's code is
  // still being compiled, and hold its first frame back by seconds.
  let leading = null;
  const leadingLoads = () => leading && !leading.shown && (leading.incoming || leading.request);
  const startLoads = () => {
    const waiting = layers.filter((l) => l.request).sort((a, b) => b.stacking - a.stacking);
    if (!leading && waiting.length > 0) leading = waiting[0];
    for (const target of waiting) {
      if (target !== leading && leadingLoads()) continue;
      try {
        target.start();
      } catch (error) {
        log(`${target.name}: load failed: ${error}`);
      }
    }
  };

  window.tdwk = {
    run(calls) {
      probe?.mark("first calls");
      for (const call of calls) {
        try {
          run(call);
        } catch (error) {
          log(`${call.op} failed: ${error}`);
        }
      }
      startLoads();
    },
    // A variable of a layer's movie, once every earlier call has been applied.
    get(control, name) {
      const target = layer(control);
      return target ? target.call({op: "get", name}) : null;
    },
  };

  window.addEventListener("DOMContentLoaded", () => post({type: "ready"}));
})();
