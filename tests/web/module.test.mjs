// The wasm module under node gives the native command line's verdicts.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { Task, generate, loadModule, nativeVerdict, pigeonHole, root } from './common.mjs';

const solve = await loadModule();

function sameVerdict(file) {
  const answer = solve(readFileSync(file, 'utf8'));
  assert.equal(answer.result, nativeVerdict(file), file);
  if (answer.result === 'sat') assert.ok(answer.worlds.length >= 1, file);
}

const families = ['branch', 'ph', 'alt', 'indep', 'clash', 'm3cnf',
                  'eqchain', 'xorchain', 'dnf', 'boxdnf', 'mixed', 'nonclausal'];

test('bench families, small sizes', () => {
  const jobs = [];
  for (const family of families)
    for (const version of ['p', 'n'])
      for (const n of [1, 2, 3, 5]) jobs.push([`${family}-${version}-${n}`, 'gen_families.py', [family, version, n, '--vars', 6]]);
  generate(jobs).forEach(sameVerdict);
});

test('random formulas', () => {
  const jobs = [];
  for (let seed = 1; seed <= 40; ++seed)
    jobs.push([`random-${seed}`, 'gen_random.py', [150 + 20 * seed, '--atoms', 6 + Math.floor(seed / 2), '--diamonds', (seed % 5) / 4, '--seed', seed]]);
  generate(jobs).forEach(sameVerdict);
});

test('fewest worlds: two for a Box, a Diamond and a clash with world 0', () => {
  const answer = solve('[r1](p1 -> p2) & <r1>p1 & ~p2', Task.fewest);
  assert.equal(answer.result, 'sat');
  assert.equal(answer.worlds.length, 2);
  assert.deepEqual(answer.worlds[0], []);
  assert.deepEqual(answer.worlds[1], ['p1', 'p2']);
});

test('validity: a countermodel whose world 0 falsifies the formula', () => {
  assert.equal(solve(readFileSync(join(root, 'examples/modal.txt'), 'utf8'), Task.valid).result, 'unsat');
  const answer = solve('[r1]p1 -> p2', Task.valid);
  assert.equal(answer.result, 'sat');
  assert.ok(answer.worlds.every((atoms) => atoms.includes('p1')));
  assert.ok(!answer.worlds[0].includes('p2'));
});

test('a parse error names its line and column', () => {
  const answer = solve('begin\np1 &\n  p2 )\nend');
  assert.equal(answer.result, 'error');
  assert.deepEqual([answer.line, answer.column], [3, 6]);
  assert.ok(answer.message.length > 0);
});

test('the time limit stops a long check, and the module answers afterwards', () => {
  assert.equal(solve(pigeonHole(10, 9), Task.decide, 1).result, 'unknown');
  assert.equal(solve('<r1>p1 & [r1]p2').result, 'sat');
});
