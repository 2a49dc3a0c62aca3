// Decides each formula file of a directory three ways, side by side: the
// native command line (build/Tarvel, wall time of the process, start-up
// included), the web module's glue built natively (build/glue-native, the
// call alone, twice in one process: the first pays for the process's fresh
// memory) and the wasm module of web/ under node (the call alone, twice:
// the first run includes V8 compiling the code on first use). For the files the command line decides within
// a second it prints one line each and a summary of verdicts and ratios.
// Usage: node bench/web-lwb.mjs DIR [PATTERN]   (after scripts/build-web and
//        a native build in build/)
import { execFileSync, spawnSync } from 'node:child_process';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { performance } from 'node:perf_hooks';
import { loadModule, nativeBinary, root } from '../tests/web/common.mjs';

const [dir, pattern = ''] = process.argv.slice(2);
if (!dir) {
  console.error('usage: node bench/web-lwb.mjs DIR [PATTERN]');
  process.exit(2);
}
const glueNative = join(root, 'build/glue-native');
execFileSync('g++', ['-O2', '-std=c++17', '-I', join(root, 'include'), join(root, 'bench/glue-native.cpp'),
                     join(root, 'web/module/tarvel_web.cpp'), join(root, 'build/libtarvel.a'), '-lcadical', '-o', glueNative]);
const solve = await loadModule();

function timedWasm(text) {
  const started = performance.now();
  const verdict = solve(text, 0, 10).result;
  return { verdict, ms: performance.now() - started };
}

const rows = [];
for (const name of readdirSync(dir).filter((f) => f.includes(pattern)).sort()) {
  const file = join(dir, name);
  const started = performance.now();
  const run = spawnSync('timeout', ['5', nativeBinary, file], { encoding: 'utf8' });
  const cliMs = performance.now() - started;
  const status = run.stdout.split('\n').find((l) => l.startsWith('s ')) || 's UNKNOWN';
  const cli = { 's SATISFIABLE': 'sat', 's UNSATISFIABLE': 'unsat' }[status] || 'unknown';
  if (cli === 'unknown' || cliMs > 1000) {
    console.log(`${name}: command line ${cli} in ${cliMs.toFixed(1)} ms, skipped`);
    continue;
  }
  const [library, libraryMs, librarySecondMs] = execFileSync(glueNative, [file], { encoding: 'utf8' }).trim().split(' ');
  const text = readFileSync(file, 'utf8');
  const first = timedWasm(text), second = timedWasm(text);
  const row = { name, cliMs, libraryMs: Number(libraryMs), librarySecondMs: Number(librarySecondMs), firstMs: first.ms, secondMs: second.ms,
                same: [library, first.verdict, second.verdict].every((v) => v === cli) };
  rows.push(row);
  console.log(`${name}: ${cli}${row.same ? '' : ' DIFFERS'}; ms: command line ${cliMs.toFixed(1)}, library ${libraryMs} then ${librarySecondMs}, ` +
              `wasm ${first.ms.toFixed(1)} then ${second.ms.toFixed(1)}`);
}

const total = (key) => rows.reduce((s, r) => s + r[key], 0);
// Per-file ratios only where the baseline takes 10 ms or more: below that
// they measure timer and start-up noise.
const timed = (b) => rows.filter((r) => r[b] >= 10);
const worst = (a, b) => timed(b).reduce((m, r) => (r[a] / r[b] > m.ratio ? { ratio: r[a] / r[b], name: r.name } : m), { ratio: 0 });
console.log(`files the command line decides within 1 s: ${rows.length}; same verdict in the library and in wasm: ${rows.filter((r) => r.same).length}`);
console.log(`total ms: command line ${total('cliMs').toFixed(0)}, library ${total('libraryMs').toFixed(0)} then ` +
            `${total('librarySecondMs').toFixed(0)}, ` +
            `wasm first ${total('firstMs').toFixed(0)}, second ${total('secondMs').toFixed(0)}`);
for (const [a, b] of [['firstMs', 'cliMs'], ['secondMs', 'cliMs'], ['secondMs', 'librarySecondMs']]) {
  const w = worst(a, b);
  const over = timed(b).filter((r) => r[a] > 3 * r[b]).map((r) => r.name);
  console.log(`${a} / ${b}: ratio of totals ${(total(a) / total(b)).toFixed(2)}, worst ${w.ratio.toFixed(2)} (${w.name}), ` +
              `above 3 of ${timed(b).length} files over 10 ms: ${over.length}${over.length ? ' (' + over.join(' ') + ')' : ''}`);
}
process.exit(rows.every((r) => r.same) ? 0 : 1);
