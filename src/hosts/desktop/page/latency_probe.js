"use strict";

// The latency benchmark's probe, put into the page by the host only when it measures (before
// the page's own script runs). The page calls window.tdwkLatencyProbe at the moments that
// matter; the probe reports to the host how long a screen change took, from the movie command
// that caused it reaching the page until the new movie's first frame is on screen, and when
// each stage of the start-up was reached.
(() => {
  const post = (message) =>
    window.webkit.messageHandlers.tdwk.postMessage(JSON.stringify({type: "latency", ...message}));
  // On the system's wall clock, which the host turns into its monotonic one.
  const epochMs = () => performance.timeOrigin + performance.now();
  const mark = (name) => post({kind: "mark", name, epochMs: epochMs()});
  const marked = new Set();
  const markOnce = (name) => {
    if (marked.has(name)) return;
    marked.add(name);
    mark(name);
  };
  markOnce("page script");

  // The player's own start-up: its code and its WebAssembly module.
  const fetchPage = window.fetch;
  window.fetch = function (resource, ...rest) {
    const url = String(resource?.url ?? resource);
    const wasm = /\.wasm(\.gz)?$/.test(url);
    if (wasm) markOnce("wasm fetch");
    const answer = fetchPage.call(this, resource, ...rest);
    if (wasm) answer.then(() => markOnce("wasm response"), () => {});
    return answer;
  };
  for (const name of ["instantiateStreaming", "instantiate", "compileStreaming", "compile"]) {
    const original = WebAssembly[name];
    if (typeof original !== "function") continue;
    WebAssembly[name] = function (...args) {
      markOnce(`wasm ${name}`);
      const result = original.apply(this, args);
      result.then(() => markOnce(`wasm ${name} done`), () => {});
      return result;
    };
  }
  document.addEventListener("DOMContentLoaded", () => markOnce("page loaded"));

  let lastCommand = null;
  const causes = new Map();  // "layer load" -> the command that caused the load
  window.tdwkLatencyProbe = {
    mark: markOnce,
    // A movie command passed on to the host.
    command(layer, command, args) {
      lastCommand = {t0: performance.now(), command, args};
    },
    // A layer's load-th movie was asked for: the last command passed on caused it.
    load(layer, load) {
      causes.set(`${layer} ${load}`, lastCommand);
      lastCommand = null;
    },
    // A layer's load-th movie's first frame is on screen.
    shown(layer, load, url, path) {
      const key = `${layer} ${load}`;
      const cause = causes.get(key);
      causes.delete(key);
      post({kind: "shown", control: layer, url, path, command: cause ? cause.command : null,
            args: cause ? cause.args : null, ms: cause ? performance.now() - cause.t0 : null,
            epochMs: epochMs()});
    },
  };
})();
