'use strict';
// The page: reads the formula, hands it to a worker that runs the wasm
// module, and shows the verdict, a parse error or the model. Stop ends the
// worker (the wasm call cannot be interrupted from outside) and starts a
// fresh one; the worker is built from a Blob and a compiled module fetched
// once, so restarting it needs no network.

const $ = (id) => document.getElementById(id);
const Task = { decide: 0, fewest: 1, valid: 2 };
const NS = 'http://www.w3.org/2000/svg';

let workerUrl = null;
let wasmModule = null;
let worker = null;
let running = null;  // { task, started } while a request is out

function setStatus(verdict, text) {
  $('status').dataset.verdict = verdict;
  $('status').textContent = text;
}

function setBusy(busy) {
  for (const id of ['decide', 'fewest', 'valid']) $(id).disabled = busy;
  $('stop').disabled = !busy;
}

function startWorker() {
  worker = new Worker(workerUrl);
  worker.onmessage = (e) => finish(e.data);
  worker.onerror = (e) => {
    e.preventDefault();
    restart('error', 'The solver failed: ' + (e.message || 'unknown error'));
  };
  worker.postMessage({ module: wasmModule });
}

function restart(verdict, text) {
  worker.terminate();
  running = null;
  startWorker();
  setStatus(verdict, text);
  setBusy(false);
}

function run(task) {
  if (running || !worker) return;
  $('excerpt').hidden = true;
  $('model').toggleAttribute('hidden', true);
  running = { task, started: performance.now() };
  setBusy(true);
  setStatus('running', 'Solving…');
  worker.postMessage({ text: $('formula').value, task: Task[task], seconds: Number($('limit').value) || 0 });
}

function stop() {
  if (running) restart('stopped', 'Stopped after ' + duration(performance.now() - running.started) + '.');
}

function duration(ms) {
  return ms < 1000 ? ms.toFixed(1) + ' ms' : (ms / 1000).toFixed(2) + ' s';
}

function finish(answer) {
  if (answer.result === 'crash') return restart('error', 'The solver failed: ' + answer.message);
  const task = running.task;
  running = null;
  setBusy(false);
  const time = ' (' + duration(answer.ms) + ')';
  if (answer.result === 'error') return showError(answer);
  if (answer.result === 'unknown') return setStatus('unknown', 'Unknown: the time limit ran out' + time + '.');
  if (task === 'valid') {
    if (answer.result === 'unsat') return setStatus('valid', 'Valid: it holds in every world of every model' + time + '.');
    setStatus('invalid', 'Not valid' + time + '. Countermodel: world 0 falsifies the formula.');
  } else if (answer.result === 'unsat') {
    return setStatus('unsat', 'Unsatisfiable' + time + '.');
  } else {
    const n = answer.worlds.length;
    const worlds = n + (n === 1 ? ' world' : ' worlds');
    setStatus('sat', task === 'fewest' ? 'Satisfiable; the fewest worlds: ' + worlds + time + '.'
                                       : 'Satisfiable, a model of ' + worlds + time + '.');
  }
  drawModel(answer.worlds);
}

function showError(answer) {
  if (answer.line < 1) return setStatus('error', answer.message);
  setStatus('error', 'Parse error at line ' + answer.line + ', column ' + answer.column + ': ' + answer.message);
  const lines = $('formula').value.split('\n');
  const line = lines[answer.line - 1] || '';
  $('excerpt').textContent = line + '\n' + ' '.repeat(Math.max(0, answer.column - 1)) + '^';
  $('excerpt').hidden = false;
  let offset = answer.column - 1;
  for (let i = 0; i < answer.line - 1 && i < lines.length; ++i) offset += lines[i].length + 1;
  $('formula').focus();
  $('formula').setSelectionRange(offset, offset + 1);
}

function svg(tag, attributes, parent) {
  const node = document.createElementNS(NS, tag);
  for (const [k, v] of Object.entries(attributes)) node.setAttribute(k, v);
  parent.appendChild(node);
  return node;
}

// Worlds on a grid, each a circle with its name and the atoms true there
// beneath, a few per line.
function drawModel(worlds) {
  const picture = $('model');
  picture.replaceChildren();
  const perLine = 4, maxLines = 5;
  const labels = worlds.map((atoms) => {
    const lines = [];
    for (let i = 0; i < atoms.length; i += perLine) lines.push(atoms.slice(i, i + perLine).join(' '));
    if (lines.length > maxLines) lines.splice(maxLines - 1, lines.length, `… ${atoms.length} atoms`);
    return lines.length ? lines : ['(no atom true)'];
  });
  const cell = { w: 170, h: 110 + 16 * Math.max(...labels.map((l) => l.length)) };
  const columns = Math.min(worlds.length, Math.max(1, Math.floor(picture.parentNode.clientWidth / cell.w)));
  const rows = Math.ceil(worlds.length / columns);
  picture.setAttribute('viewBox', `0 0 ${columns * cell.w} ${rows * cell.h}`);
  picture.setAttribute('width', columns * cell.w);
  picture.setAttribute('height', rows * cell.h);
  labels.forEach((lines, w) => {
    const x = (w % columns) * cell.w + cell.w / 2, y = Math.floor(w / columns) * cell.h + 58;
    const g = svg('g', { class: w === 0 ? 'world actual' : 'world', 'data-world': w }, picture);
    svg('title', {}, g).textContent = `world ${w}: ` + (worlds[w].join(' ') || 'no atom true');
    if (w === 0) {
      svg('circle', { cx: x, cy: y, r: 40 }, g);
      svg('text', { x, y: y - 46, class: 'name' }, g).textContent = 'actual';
    }
    svg('circle', { cx: x, cy: y, r: 34 }, g);
    svg('text', { x, y: y + 5, class: 'name' }, g).textContent = 'w' + w;
    lines.forEach((text, i) => { svg('text', { x, y: y + 62 + 16 * i }, g).textContent = text; });
  });
  picture.toggleAttribute('hidden', false);
}

async function load() {
  for (const [name, text] of Object.entries(typeof EXAMPLES === 'object' ? EXAMPLES : {})) {
    const button = document.createElement('button');
    button.textContent = name;
    button.onclick = () => { $('formula').value = text; };
    $('examples').appendChild(button);
  }
  for (const task of Object.keys(Task)) $(task).onclick = () => run(task);
  $('stop').onclick = stop;
  $('formula').onkeydown = (e) => { if (e.key === 'Enter' && e.ctrlKey) run('decide'); };
  try {
    const [glue, code, wasm] = await Promise.all([
      fetch('tarvel.js').then(okText), fetch('worker.js').then(okText),
      fetch('tarvel.wasm').then((r) => { if (!r.ok) throw new Error('tarvel.wasm: ' + r.status); return r.arrayBuffer(); })]);
    wasmModule = await WebAssembly.compile(wasm);
    workerUrl = URL.createObjectURL(new Blob([glue, '\n', code], { type: 'text/javascript' }));
    startWorker();
    setStatus('ready', 'Ready.');
    setBusy(false);
  } catch (e) {
    setStatus('error', 'Could not load the solver (' + e.message + '); was scripts/build-web run?');
  }
}

function okText(response) {
  if (!response.ok) throw new Error(response.url + ': ' + response.status);
  return response.text();
}

load();
