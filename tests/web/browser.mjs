// Headless Chromium driven over its DevTools protocol on a pipe (fds 3 and
// 4, messages ended by NUL), so the test needs no WebSocket client, and
// web/ served from 127.0.0.1 by a small static server.
import { spawn } from 'node:child_process';
import { mkdtempSync, readFile, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm' };

export async function serve(dir) {
  const server = createServer((req, res) => {
    const path = normalize(decodeURIComponent(new URL(req.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
    readFile(join(dir, path.endsWith('/') ? path + 'index.html' : path), (err, data) => {
      res.writeHead(err ? 404 : 200, { 'Content-Type': types[extname(path)] || 'text/html' });
      res.end(err ? 'not found' : data);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

export async function launch() {
  const profile = mkdtempSync(join(tmpdir(), 'tarvel-chromium-'));
  const chromium = spawn(process.env.CHROMIUM || '/usr/bin/chromium', [
    '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--remote-debugging-pipe', `--user-data-dir=${profile}`, '--window-size=1000,900', 'about:blank',
  ], { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
  const pending = new Map(), listeners = [];
  let nextId = 1, buffer = '';
  chromium.stdio[4].on('data', (chunk) => {
    buffer += chunk;
    let end;
    while ((end = buffer.indexOf('\0')) >= 0) {
      const message = JSON.parse(buffer.slice(0, end));
      buffer = buffer.slice(end + 1);
      const waiter = pending.get(message.id);
      if (waiter) {
        pending.delete(message.id);
        message.error ? waiter.reject(new Error(message.error.message)) : waiter.resolve(message.result);
      } else {
        for (const listener of listeners) listener(message);
      }
    }
  });
  const send = (method, params = {}, sessionId) => new Promise((resolve, reject) => {
    const id = nextId++;
    pending.set(id, { resolve, reject });
    chromium.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
  });

  const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
  const page = (method, params) => send(method, params, sessionId);
  await page('Page.enable');
  return {
    async open(url) {
      const loaded = new Promise((resolve) => listeners.push((m) => m.method === 'Page.loadEventFired' && resolve()));
      await page('Page.navigate', { url });
      await loaded;
    },
    // The value of a JavaScript expression in the page, promises awaited.
    async evaluate(expression) {
      const { result, exceptionDetails } = await page('Runtime.evaluate', { expression, awaitPromise: true, returnByValue: true });
      if (exceptionDetails) throw new Error(exceptionDetails.exception?.description || exceptionDetails.text);
      return result.value;
    },
    async screenshot() {
      return Buffer.from((await page('Page.captureScreenshot', { format: 'png', captureBeyondViewport: true })).data, 'base64');
    },
    async close() {
      const exited = new Promise((resolve) => chromium.once('exit', resolve));
      await send('Browser.close');
      await exited;
      rmSync(profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 200 });
    },
  };
}
