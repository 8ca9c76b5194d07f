// A small DevTools driver for the page tests: serves a folder on 127.0.0.1, starts headless
// Chromium (Debian's, on SwiftShader) talking DevTools over a pipe, and runs commands on one page.
'use strict';
const childProcess = require('child_process');
const fs = require('fs');
const http = require('http');
const path = require('path');

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};

// Serves each folder's files from the server's root, the first folder that has the file.
function serve(folders) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname).replace(/^\/+/, '');
    for (const folder of folders) {
      const file = path.join(folder, name);
      if (!name.includes('..') && fs.existsSync(file) && fs.statSync(file).isFile()) {
        response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
        fs.createReadStream(file).pipe(response);
        return;
      }
    }
    response.writeHead(404);
    response.end();
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve(server)));
}

class Browser {
  constructor() {
    this.profile = fs.mkdtempSync('/tmp/valley-chromium-');
    this.process = childProcess.spawn(process.env.CHROMIUM || 'chromium', [
      '--headless=new', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--remote-debugging-pipe', '--window-size=1400,1100', '--no-first-run', '--mute-audio',
      '--user-data-dir=' + this.profile, 'about:blank',
    ], {stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe']});
    this.process.stderr.on('data', () => {});
    this.next = 1;
    this.waiting = new Map();
    this.listeners = [];
    let pending = '';
    this.process.stdio[4].on('data', chunk => {
      pending += chunk.toString();
      let end;
      while ((end = pending.indexOf('\0')) >= 0) {
        const message = JSON.parse(pending.slice(0, end));
        pending = pending.slice(end + 1);
        if (message.id && this.waiting.has(message.id)) {
          const {resolve, reject} = this.waiting.get(message.id);
          this.waiting.delete(message.id);
          message.error ? reject(new Error(JSON.stringify(message.error))) : resolve(message.result);
        } else if (message.method) {
          this.listeners.forEach(listener => listener(message));
        }
      }
    });
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.next++;
    this.process.stdio[3].write(JSON.stringify({id, method, params, sessionId}) + '\0');
    return new Promise((resolve, reject) => this.waiting.set(id, {resolve, reject}));
  }

  // A page of its own at `url`, with its console lines collected in page.lines.
  async open(url) {
    const {targetId} = await this.send('Target.createTarget', {url: 'about:blank'});
    const {sessionId} = await this.send('Target.attachToTarget', {targetId, flatten: true});
    const page = {
      lines: [],
      send: (method, params) => this.send(method, params, sessionId),
      evaluate: async expression => {
        const result = await page.send('Runtime.evaluate', {expression, awaitPromise: true, returnByValue: true});
        if (result.exceptionDetails) throw new Error(result.exceptionDetails.text + ': ' + expression);
        return result.result.value;
      },
    };
    this.listeners.push(message => {
      if (message.sessionId === sessionId && message.method === 'Runtime.consoleAPICalled') {
        page.lines.push(message.params.args.map(arg => arg.value).join(' '));
      }
    });
    await page.send('Runtime.enable');
    await page.send('Page.enable');
    await page.send('Emulation.setDeviceMetricsOverride', {width: 1400, height: 1100, deviceScaleFactor: 1, mobile: false});
    await page.send('Page.navigate', {url});
    return page;
  }

  // Ends the browser and removes its profile.
  close() {
    return new Promise(done => {
      this.process.once('exit', () => {
        fs.rmSync(this.profile, {recursive: true, force: true});
        done();
      });
      this.process.kill();
    });
  }
}

// Waits until `expression` is neither undefined nor null in the page, polling; fails after `seconds`.
async function waitFor(page, expression, seconds) {
  const end = Date.now() + seconds * 1000;
  for (;;) {
    // The page may not be there yet: an expression that throws counts as not yet.
    const value = await page.evaluate(expression).catch(() => null);
    if (value !== undefined && value !== null) return value;
    if (Date.now() > end) throw new Error('timed out after ' + seconds + ' s waiting for ' + expression);
    await new Promise(resolve => setTimeout(resolve, 250));
  }
}

module.exports = {serve, Browser, waitFor};
