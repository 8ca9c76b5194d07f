// Runs the valley's page (build-web/) in headless Chromium for the page tests:
//
//   node page.js replay WEB_DIR OUT_DIR RECORDING [ARG...]
//     replays RECORDING (served beside the page) with the arguments after it, prints the page's
//     console lines and "exit STATUS", and copies a --capture folder's frames into OUT_DIR.
//   node page.js live WEB_DIR OUT_DIR [ARG...]
//     plays with these arguments: clicks the canvas, holds W for a second, and saves the canvas
//     before and after as OUT_DIR/before.png and OUT_DIR/after.png; prints "pointer locked" once
//     it was. Then throws a rock and copies a --record file as it stands into OUT_DIR.
'use strict';
const fs = require('fs');
const path = require('path');
const {serve, Browser, waitFor} = require('./devtools.js');

const [mode, webDir, outDir, ...rest] = process.argv.slice(2);

async function saveCanvas(page, file) {
  const box = await page.evaluate(
    '(({x, y, width, height}) => ({x, y, width, height}))(document.getElementById("canvas").getBoundingClientRect())');
  const shot = await page.send('Page.captureScreenshot', {format: 'png', clip: {...box, scale: 1}});
  fs.writeFileSync(file, Buffer.from(shot.data, 'base64'));
}

async function replay(page) {
  const status = await waitFor(page, 'window.valleyExit', 1500);
  const files = await page.evaluate(`(window.valleyFiles || []).map(file => {
    const bytes = Module.FS.readFile(file);
    let text = '';
    for (let at = 0; at < bytes.length; at += 8192) text += String.fromCharCode.apply(null, bytes.subarray(at, at + 8192));
    return [file, btoa(text)];
  })`);
  for (const [file, base64] of files) {
    fs.writeFileSync(path.join(outDir, path.basename(file)), Buffer.from(base64, 'base64'));
  }
  return status;
}

async function live(page) {
  await waitFor(page, 'document.getElementById("cover-text").textContent === "Click to play" || null', 300);
  const key = {key: 'w', code: 'KeyW', windowsVirtualKeyCode: 87};
  const at = {x: 700, y: 380, button: 'left', clickCount: 1};
  await page.send('Input.dispatchMouseEvent', {type: 'mousePressed', ...at});
  await page.send('Input.dispatchMouseEvent', {type: 'mouseReleased', ...at});
  await waitFor(page, 'document.pointerLockElement ? true : null', 30);
  console.log('pointer locked');
  await new Promise(done => setTimeout(done, 1000));
  await saveCanvas(page, path.join(outDir, 'before.png'));
  // A second of the clock, and at least a second of game time: a page the machine starves of
  // animation frames runs few ticks a second, and each recorded tick is at least 18 bytes.
  const recordAt = rest.indexOf('--record');
  const record = recordAt >= 0 ? '/' + rest[recordAt + 1] : null;
  const recorded = async () => record ? page.evaluate(`Module.FS.stat(${JSON.stringify(record)}).size`) : 0;
  const ticksPast = async (start, ticks) => {
    for (let waited = 0; record && waited < 120000 && (await recorded()) < start + 18 * ticks; waited += 100) {
      await new Promise(done => setTimeout(done, 100));
    }
  };
  await page.send('Input.dispatchKeyEvent', {type: 'keyDown', ...key});
  const walkStart = await recorded();
  await new Promise(done => setTimeout(done, 1000));
  await ticksPast(walkStart, 60);
  await page.send('Input.dispatchKeyEvent', {type: 'keyUp', ...key});
  await ticksPast(await recorded(), 5);
  await new Promise(done => setTimeout(done, 500));
  await saveCanvas(page, path.join(outDir, 'after.png'));
  await page.send('Input.dispatchMouseEvent', {type: 'mousePressed', ...at});
  await new Promise(done => setTimeout(done, 300));
  await page.send('Input.dispatchMouseEvent', {type: 'mouseReleased', ...at});
  await new Promise(done => setTimeout(done, 1000));
  if (record) {
    const bytes = await page.evaluate(`Array.from(Module.FS.readFile(${JSON.stringify(record)}))`);
    fs.writeFileSync(path.join(outDir, path.basename(record)), Buffer.from(bytes));
  }
  return 0;
}

(async () => {
  const folders = [webDir];
  let query = '';
  const pageArgs = mode === 'replay' ? ['--replay', path.basename(rest[0]), ...rest.slice(1)] : rest;
  if (mode === 'replay') folders.push(path.dirname(path.resolve(rest[0])));
  if (pageArgs.length > 0) query = '?' + pageArgs.map(arg => 'arg=' + encodeURIComponent(arg)).join('&');
  const server = await serve(folders);
  const browser = new Browser();
  let status = 1;
  let page = null;
  try {
    page = await browser.open(`http://127.0.0.1:${server.address().port}/valley.html${query}`);
    status = await (mode === 'replay' ? replay(page) : live(page));
  } catch (error) {
    console.log('page test: ' + error.message);
  }
  if (page) console.log(page.lines.join('\n'));
  console.log('exit ' + status);
  await browser.close();
  server.close();
  process.exit(0);
})();
