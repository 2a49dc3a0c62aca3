// Decides each formula file of a directory with the native command line and
// with the wasm module of web/ under node, side by side, and prints one line
// per file and a summary for the files native decides within a second.
// Native time: wall time of the build/Tarvel process (start-up included);
// wasm time: the call into the loaded module (parse and solve).
// Usage: node bench/web-lwb.mjs DIR [PATTERN]   (scripts/build-web first)
import { spawnSync } from 'node:child_process';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { performance } from 'node:perf_hooks';
import { loadModule, nativeBinary } from '../tests/web/common.mjs';

const [dir, pattern = ''] = process.argv.slice(2);
if (!dir) {
  console.error('usage: node bench/web-lwb.mjs DIR [PATTERN]');
  process.exit(2);
}
const solve = await loadModule();
const rows = [];
for (const name of readdirSync(dir).filter((f) => f.includes(pattern)).sort()) {
  const file = join(dir, name);
  let started = performance.now();
  const run = spawnSync('timeout', ['5', nativeBinary, file], { encoding: 'utf8' });
  const nativeMs = performance.now() - started;
  const status = run.stdout.split('\n').find((l) => l.startsWith('s ')) || 's UNKNOWN';
  const native = { 's SATISFIABLE': 'sat', 's UNSATISFIABLE': 'unsat' }[status] || 'unknown';
  if (native === 'unknown' || nativeMs > 1000) {
    console.log(`${name} native ${native} ${nativeMs.toFixed(1)} ms: skipped`);
    continue;
  }
  const text = readFileSync(file, 'utf8');
  started = performance.now();
  const wasm = solve(text, 0, 10).result;
  const wasmMs = performance.now() - started;
  rows.push({ name, same: wasm === native, nativeMs, wasmMs });
  console.log(`${name} native ${native} ${nativeMs.toFixed(1)} ms, wasm ${wasm} ${wasmMs.toFixed(1)} ms, ratio ${(wasmMs / nativeMs).toFixed(2)}`);
}
const sum = (key) => rows.reduce((s, r) => s + r[key], 0);
const ratios = rows.map((r) => r.wasmMs / r.nativeMs);
const geomean = Math.exp(ratios.reduce((s, r) => s + Math.log(r), 0) / ratios.length);
console.log(`files decided by native within 1 s: ${rows.length}; same verdict in wasm: ${rows.filter((r) => r.same).length}`);
console.log(`total native ${sum('nativeMs').toFixed(0)} ms, wasm ${sum('wasmMs').toFixed(0)} ms, ratio of totals ${(sum('wasmMs') / sum('nativeMs')).toFixed(2)}`);
console.log(`per-file ratio: geometric mean ${geomean.toFixed(2)}, max ${Math.max(...ratios).toFixed(2)}, above 3: ${ratios.filter((r) => r > 3).length}`);
process.exit(rows.every((r) => r.same) ? 0 : 1);
