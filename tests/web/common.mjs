// Shared by the web tests: the repository's paths, the native command line's
// verdict on a file, the wasm module under node, generated formula files.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

export const root = new URL('../..', import.meta.url).pathname;
export const nativeBinary = process.env.TARVEL_BIN || join(root, 'build/Tarvel');
export const scratch = mkdtempSync(join(tmpdir(), 'tarvel-web-'));
process.on('exit', () => rmSync(scratch, { recursive: true, force: true }));
export const Task = { decide: 0, fewest: 1, valid: 2 };

// 'sat' or 'unsat' from the status line of build/Tarvel.
export function nativeVerdict(file) {
  const out = execFileSync(nativeBinary, [file], { encoding: 'utf8' });
  const status = out.split('\n').find((l) => l.startsWith('s '));
  return { 's SATISFIABLE': 'sat', 's UNSATISFIABLE': 'unsat' }[status] ?? status;
}

// The module of web/, given its wasm bytes directly: the loader of this
// emscripten cannot fetch a local path under node 18 and later.
export async function loadModule() {
  const createTarvel = createRequire(import.meta.url)(join(root, 'web/tarvel.js'));
  const tarvel = await createTarvel({ wasmBinary: readFileSync(join(root, 'web/tarvel.wasm')) });
  return (text, task = Task.decide, seconds = 0) =>
    JSON.parse(tarvel.ccall('tarvel_solve', 'string', ['string', 'number', 'number'], [text, task, seconds]));
}

// Runs bench/ generators, each job [name, script, args], in one Python
// process (a start per file would cost more than deciding it); answers the
// files written to the scratch dir, in job order.
export function generate(jobs) {
  const program = `
import contextlib, json, runpy, sys
for path, script, args in json.load(sys.stdin):
    sys.argv = [script] + args
    with open(path, "w") as out, contextlib.redirect_stdout(out):
        runpy.run_path(script, run_name="__main__")`;
  const resolved = jobs.map(([name, script, args]) => [join(scratch, name + '.txt'), join(root, 'bench', script), args.map(String)]);
  execFileSync('python3', ['-c', program], { input: JSON.stringify(resolved) });
  return resolved.map(([path]) => path);
}

// Pigeon-hole, `pigeons` into `holes`, as propositional clauses: hard for
// resolution, so a check of 10 into 9 runs long enough to be stopped.
export function pigeonHole(pigeons, holes) {
  const v = (i, j) => 'p' + (i * holes + j + 1);
  const clauses = [];
  for (let i = 0; i < pigeons; ++i) clauses.push('(' + Array.from({ length: holes }, (_, j) => v(i, j)).join(' | ') + ')');
  for (let j = 0; j < holes; ++j)
    for (let a = 0; a < pigeons; ++a)
      for (let b = a + 1; b < pigeons; ++b) clauses.push(`(~${v(a, j)} | ~${v(b, j)})`);
  return clauses.join(' &\n');
}
