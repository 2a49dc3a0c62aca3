'use strict';
// Runs in a worker whose script is tarvel.js followed by this file (app.js
// joins them). The first message brings the compiled wasm module; every
// later one is a request { text, task, seconds }, answered with the glue's
// JSON plus the milliseconds the call took, or { result: 'crash' } when
// the module failed.

let engine = null;

onmessage = (e) => {
  const request = e.data;
  if (request.module) {
    engine = createTarvel({
      instantiateWasm(imports, done) {
        WebAssembly.instantiate(request.module, imports).then((instance) => done(instance, request.module));
        return {};
      },
    });
    return;
  }
  engine.then((tarvel) => {
    const started = performance.now();
    const text = tarvel.ccall('tarvel_solve', 'string', ['string', 'number', 'number'],
                              [request.text, request.task, request.seconds]);
    const answer = JSON.parse(text);
    answer.ms = performance.now() - started;
    postMessage(answer);
  }).catch((error) => {
    // An abort leaves the module unusable; the page replaces this worker.
    postMessage({ result: 'crash', message: String(error.message || error) });
  });
};
