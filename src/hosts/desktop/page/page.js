"use strict";

// The players' page of the desktop host. The host sends the shell's calls in order through
// tdwk.run(); each layer is one player that plays the bridge movie around the shell's movie.
// Calls made before a movie has loaded wait and are applied, in order, once the bridge says
// it has. Movie commands go to the host as script messages.
(() => {
  const params = new URLSearchParams(location.search);
  const probing = params.get("probe") === "1";
  const publicPath = new URL("ruffle/", location.href).href;

  window.RufflePlayer = window.RufflePlayer || {};
  window.RufflePlayer.config = {publicPath, polyfills: false};

  const post = (message) => window.webkit.messageHandlers.tdwk.postMessage(JSON.stringify(message));
  const log = (text) => post({type: "log", text: String(text)});
  window.addEventListener("error", (e) => {
    log(`${e.message} (${e.filename}:${e.lineno})`);
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
  const watchForPanic = () => {
    if (panicked || panicCheck) return;
    panicCheck = setTimeout(() => {
      panicCheck = 0;
      const failed = layers.filter(
          (l) => l.player && shadowOf.call(l.player)?.getElementById("panic-details-modal"));
      if (failed.length === 0) return;
      panicked = true;
      post({type: "panic", controls: failed.map((l) => l.name)});
    }, 0);
  };
  window.addEventListener("unhandledrejection", (e) => {
    log(e.reason);
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
  if (params.get("renderer")) movieOptions.preferredRenderer = params.get("renderer");

  // Measures, for the benchmark, how long a movie command takes to have all its effects: until
  // the page has taken every call it caused (run, or kept for a movie that loads), and until
  // the last of them has been applied to a loaded movie. Each command is also raced by a bare
  // round trip to the host, sent at the same moment, that costs no shell work.
  const probe = {
    commands: new Map(),  // seq -> {t0, command, args}
    handled: [],          // commands whose calls have all reached the page
    lastApplied: 0,
    seq: 0,
    applied() {
      this.lastApplied = performance.now();
    },
    received(seq) {
      const entry = this.commands.get(seq);
      this.commands.delete(seq);
      if (!entry) return;
      entry.pageMs = performance.now() - entry.t0;
      this.handled.push(entry);
      this.check();
    },
    check() {
      if (!probing || layers.some((layer) => layer.state === "loading")) return;
      for (const entry of this.handled) {
        const end = this.lastApplied >= entry.t0 ? this.lastApplied : performance.now();
        post({type: "latency", kind: "command", command: entry.command, args: entry.args,
              pageMs: entry.pageMs, ms: end - entry.t0});
      }
      this.handled = [];
    },
    race() {
      const t0 = performance.now();
      ping().then(() => post({type: "latency", kind: "race", ms: performance.now() - t0}));
    },
  };

  // A replaced player stops and disappears at once but is taken apart only after the page has
  // dealt with the calls in hand: that costs several milliseconds, and the next player starts
  // much sooner while the replaced one still exists.
  // Its commands are already ignored (the layer's generation has moved on).
  const retire = (player) => {
    styleOf(player).display = "none";
    try {
      ruffleOf(player).suspend();
    } catch (error) {
      log(`pausing a replaced player failed: ${error}`);
    }
    setTimeout(() => elementRemove.call(player), 0);
  };

  // A movie's ExternalInterface callbacks become read-only properties of its player element
  // under any name the movie chooses ("onFSCommand", "remove", "style", "ruffle", the bridge's
  // own): the page reaches the element and the player only through their prototypes.
  const elementRemove = Element.prototype.remove;
  const styleOf = (element) =>
    Object.getOwnPropertyDescriptor(HTMLElement.prototype, "style").get.call(element);
  const ruffleOf = (player) => Object.getPrototypeOf(player).ruffle.call(player);
  const callMovie = (player, name, ...args) => ruffleOf(player).callExternalInterface(name, ...args);

  class Layer {
    constructor(name, settings) {
      this.name = name;
      this.settings = settings;
      this.element = document.createElement("div");
      this.element.className = "layer";
      this.element.style.zIndex = settings.stacking;
      document.body.appendChild(this.element);
      this.player = null;
      this.generation = 0;
      this.state = "empty";  // "empty", "loading" or "loaded"
      this.pending = [];
    }

    load(url) {
      this.forget();
      const replaced = this.player;
      this.player = null;
      const generation = ++this.generation;
      if (replaced) retire(replaced);
      if (url === null) return;
      try {
        this.start(url, generation);
      } catch (error) {
        // Whatever failed, the layer takes the next load.
        log(`${this.name}: ${url}: ${error}`);
        this.forget();
      }
    }

    start(url, generation) {
      const player = window.RufflePlayer.newest().createPlayer();
      player.onFSCommand = (command, args) => this.command(generation, command, args);
      this.element.appendChild(player);
      this.player = player;
      this.state = "loading";
      ruffleOf(player).load({
        ...movieOptions,
        url,
        scale: this.settings.scale,
        salign: this.settings.salign,
        quality: this.settings.quality,
        wmode: this.settings.wmode || "window",
        menu: this.settings.menu,
      }).catch((error) => {
        if (generation !== this.generation) return;
        log(`${this.name}: ${url}: ${error}`);
        this.forget();
        probe.check();
      });
    }

    // The movie is gone: waiting calls are dropped and waiting reads answered with nothing.
    forget() {
      for (const call of this.pending) if (call.resolve) call.resolve(null);
      this.pending = [];
      this.state = "empty";
    }

    command(generation, command, args) {
      if (generation !== this.generation) return;
      if (command === "tdwk_bridge_loaded") {
        // The player is still running the movie's script here and takes no call until it has
        // returned.
        queueMicrotask(() => {
          if (generation !== this.generation) return;
          this.state = "loaded";
          const waiting = this.pending;
          this.pending = [];
          for (const call of waiting) this.apply(call);
          probe.applied();
          probe.check();
        });
        return;
      }
      const seq = ++probe.seq;
      if (probing) {
        probe.commands.set(seq, {t0: performance.now(), command, args});
        probe.race();
      }
      post({type: "fscommand", control: this.name, command: String(command),
            args: String(args ?? ""), seq});
    }

    // A call to the movie: applied now when it has loaded, later while it loads.
    call(call) {
      if (this.state === "loaded") {
        const result = this.apply(call);
        probe.applied();
        return result;
      }
      if (this.state === "loading") {
        return new Promise((resolve) => this.pending.push({...call, resolve}));
      }
      return null;
    }

    apply(call) {
      let result = null;
      try {
        switch (call.op) {
          case "set":
            callMovie(this.player, "SetVariable", String(call.name), "s:" + String(call.value));
            break;
          case "goto": callMovie(this.player, "GotoFrame", call.frame); break;
          case "play": callMovie(this.player, "Play"); break;
          case "get": {
            const value = callMovie(this.player, "GetVariable", String(call.name));
            // The bridge marks every text "s:" so that an empty one is told from none.
            result = typeof value === "string" && value.startsWith("s:") ? value.slice(2) : null;
            break;
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
    if (call.op === "handled") {
      probe.received(call.seq);
      return;
    }
    const target = layer(call.control);
    if (!target) return;
    switch (call.op) {
      case "place": target.place(call); break;
      case "front": target.element.style.zIndex = call.stacking; break;
      case "load": target.load(call.url); break;
      default: target.call(call); break;
    }
  };

  const pongs = new Map();
  let pingId = 0;
  const ping = () => new Promise((resolve) => {
    pongs.set(++pingId, resolve);
    post({type: "ping", id: pingId});
  });

  window.tdwk = {
    run(calls) {
      for (const call of calls) {
        try {
          run(call);
        } catch (error) {
          log(`${call.op} failed: ${error}`);
        }
      }
    },
    // A variable of a layer's movie, once every earlier call has been applied.
    get(control, name) {
      const target = layer(control);
      return target ? target.call({op: "get", name}) : null;
    },
    pong(id) {
      const resolve = pongs.get(id);
      pongs.delete(id);
      if (resolve) resolve();
    },
  };

  // The bare page -> host -> page round trip, measured before the page takes any call. The
  // page's clock counts whole milliseconds, so each sample is the mean of a batch.
  const measureRoundTrips = async (rounds, batch) => {
    const samples = [];
    for (let round = 0; round < rounds; ++round) {
      const t0 = performance.now();
      for (let i = 0; i < batch; ++i) await ping();
      samples.push((performance.now() - t0) / batch);
    }
    post({type: "latency", kind: "roundtrip", samples});
  };

  window.addEventListener("DOMContentLoaded", async () => {
    if (probing) await measureRoundTrips(Number(params.get("pings") || 200), 10);
    post({type: "ready"});
  });
})();
