// The page in headless Chromium, used as a person would: type, click, read.
// The server is closed once the page has loaded, so everything after that
// also shows the page works offline.
import assert from 'node:assert/strict';
import { mkdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { launch, serve } from './browser.mjs';
import { nativeVerdict, pigeonHole, root } from './common.mjs';

let browser;
const el = (id) => `document.getElementById('${id}')`;

// Types the text, clicks the button and waits until the answer is shown;
// ms: from the click to the answer drawn.
const solve = (text, button, limit = 10) => browser.evaluate(`(async () => {
  const $ = (id) => document.getElementById(id);
  $('formula').value = ${JSON.stringify(text)};
  $('limit').value = ${limit};
  const started = performance.now();
  $(${JSON.stringify(button)}).click();
  while ($('status').dataset.verdict === 'running') await new Promise((r) => setTimeout(r, 2));
  await new Promise(requestAnimationFrame);
  return { verdict: $('status').dataset.verdict, text: $('status').textContent, ms: performance.now() - started,
           worlds: [...document.querySelectorAll('#model:not([hidden]) g.world')].map((g) => g.getAttribute('class')) };
})()`);

before(async () => {
  const server = await serve(join(root, 'web'));
  browser = await launch();
  await browser.open(server.url);
  const state = await browser.evaluate(`(async () => {
    while (${el('status')}.dataset.verdict === 'loading') await new Promise((r) => setTimeout(r, 10));
    return ${el('status')}.dataset.verdict;
  })()`);
  assert.equal(state, 'ready');
  server.close();
});

after(() => browser?.close());

test('the bundled examples: the native verdicts, each one click away', async () => {
  const names = await browser.evaluate('Object.keys(EXAMPLES)');
  assert.ok(names.length >= 5);
  for (const name of names) {
    await browser.evaluate(`[...document.querySelectorAll('#examples button')].find((b) => b.textContent === '${name}').click()`);
    const text = await browser.evaluate(`${el('formula')}.value`);
    const answer = await solve(text, 'decide');
    assert.equal(answer.verdict, nativeVerdict(join(root, 'examples', name + '.txt')), name);
    assert.equal(answer.worlds.length > 0, answer.verdict === 'sat', name);
    console.log(`example ${name}: ${answer.verdict}, ${answer.worlds.length} worlds drawn, ${answer.ms.toFixed(1)} ms from click to drawing`);
  }
});

test('fewest worlds: two worlds drawn, world 0 marked actual', async () => {
  const answer = await solve('[r1](p1 -> p2) & <r1>p1 & ~p2', 'fewest');
  assert.equal(answer.verdict, 'sat');
  assert.deepEqual(answer.worlds, ['world actual', 'world']);
  assert.match(answer.text, /2 worlds/);
});

test('Valid? says valid, or draws a countermodel', async () => {
  assert.equal((await solve('[r1]p1 -> p1', 'valid')).verdict, 'valid');
  const answer = await solve('<r1>p1 -> p1', 'valid');
  assert.equal(answer.verdict, 'invalid');
  assert.ok(answer.worlds.length >= 2);
});

test('a parse error is shown at its line and column', async () => {
  const answer = await solve('begin\np1 &\n  p2 )\nend', 'decide');
  assert.equal(answer.verdict, 'error');
  assert.match(answer.text, /line 3, column 6/);
  assert.equal(await browser.evaluate(`${el('excerpt')}.textContent`), '  p2 )\n     ^');
  assert.equal(await browser.evaluate(`${el('formula')}.selectionStart`), 'begin\np1 &\n  p2 '.length);
});

test('Stop ends a long check; the page answers during and after it', async () => {
  await browser.evaluate(`${el('formula')}.value = ${JSON.stringify(pigeonHole(10, 9))}; ${el('limit')}.value = 0; ${el('decide')}.click()`);
  await new Promise((r) => setTimeout(r, 500));
  assert.equal(await browser.evaluate(`${el('status')}.dataset.verdict`), 'running');
  await browser.evaluate(`${el('stop')}.click()`);
  assert.equal(await browser.evaluate(`${el('status')}.dataset.verdict`), 'stopped');
  assert.equal((await solve('<r1>p1 & [r1]p2', 'decide')).verdict, 'sat');
});

test('the time limit ends a long check with Unknown', async () => {
  assert.equal((await solve(pigeonHole(10, 9), 'decide', 1)).verdict, 'unknown');
});

test('a model on screen, saved as a screenshot', async () => {
  const answer = await solve(await browser.evaluate('EXAMPLES.worlds'), 'fewest');
  assert.equal(answer.worlds.length, 4);
  const dir = join(root, 'build/web-test');
  mkdirSync(dir, { recursive: true });
  writeFileSync(join(dir, 'page.png'), await browser.screenshot());
});
