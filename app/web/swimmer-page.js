// The page around the swimmer's module: the view fills the window, each
// animation frame hands the wall clock to the module, which runs the ticks
// due and draws into its own RGBA pixels; the box that changed is copied
// onto the canvas. A left press or a tap sets the swimming direction, T
// shows or hides a line of figures; the panel (swimmer-panel.js) changes
// the network the swimmer swims, and learns one (swimmer-learning.js).
//
// window.swimmerPage, the page's one global, lets a test or a measurement
// look in. With "?hold" in the address the page shows the start and runs
// no tick until swimmerPage.release() is called.

import { elements } from './swimmer-common.js';
import { createSwimmerLearning } from './swimmer-learning.js';
import shippedNetworks from './swimmer-networks.js';
import { createSwimmerPanel } from './swimmer-panel.js';
import createSwimmerModule from './swimmer-web.js';

const { canvas, overlay, failure } = elements({ canvas: 'view', overlay: 'overlay', failure: 'failure' });
const context = canvas.getContext('2d', { alpha: false });
const hold = new URLSearchParams(window.location.search).has('hold');

const page = {
  ready: false,
  held: hold,
  frames: 0,
  error: null,
  module: null,
};
window.swimmerPage = page;

function fail(message) {
  page.error = String(message);
  failure.textContent = 'The swimmer stopped: ' + page.error;
  failure.style.display = 'block';
}

function viewSize() {
  return { width: Math.max(1, window.innerWidth), height: Math.max(1, window.innerHeight) };
}

// The canvas shows the module's pixels one for one; its image data is a
// view straight into the module's memory, made again whenever the pixel
// buffer moves (a resize, another network) or the memory grows.
let image = null;
function bindImage(m) {
  const width = m._SwimmerWidth();
  const height = m._SwimmerHeight();
  canvas.width = width;
  canvas.height = height;
  canvas.style.width = width + 'px';
  canvas.style.height = height + 'px';
  const pixels = new Uint8ClampedArray(m.HEAPU8.buffer, m._SwimmerPixels(), width * height * 4);
  image = new ImageData(pixels, width, height);
}

function copyChanged(m) {
  if (image === null || image.data.buffer !== m.HEAPU8.buffer ||
      image.data.byteOffset !== m._SwimmerPixels() ||
      image.width !== m._SwimmerWidth() || image.height !== m._SwimmerHeight())
    bindImage(m);
  const box = m._SwimmerChanged() >> 2;
  const left = m.HEAP32[box], top = m.HEAP32[box + 1];
  const right = m.HEAP32[box + 2], bottom = m.HEAP32[box + 3];
  if (left > right || top > bottom)
    return;
  context.putImageData(image, 0, 0, left, top, right - left + 1, bottom - top + 1);
  m._SwimmerClearChanged();
}

let figuresShown = false;
function showFigures(m, now) {
  if (!figuresShown)
    return;
  overlay.textContent =
    't = ' + m._SwimmerSimulatedTime().toFixed(2) + ' s' +
    '   ' + m._SwimmerTicksPerSecond(now) + ' ticks/s' +
    '   ' + m._SwimmerDropped() + ' dropped' +
    '   speed ' + m._SwimmerSpeed().toFixed(3) + ' units/s';
}

let resized = false;
function frame(now) {
  const m = page.module;
  try {
    if (resized) {
      resized = false;
      const size = viewSize();
      m._SwimmerResize(size.width, size.height);
    }
    if (!page.held)
      m._SwimmerFrame(now);
    copyChanged(m);
    showFigures(m, now);
    page.frames++;
  } catch (error) {
    fail(error);
    throw error;
  }
  window.requestAnimationFrame(frame);
}

function start(m) {
  page.module = m;
  const size = viewSize();
  m._SwimmerCreate(size.width, size.height);
  copyChanged(m);

  window.addEventListener('resize', () => { resized = true; });
  function pressAt(event) {
    const rect = canvas.getBoundingClientRect();
    const x = Math.max(0, Math.floor(event.clientX - rect.left));
    const y = Math.max(0, Math.floor(event.clientY - rect.top));
    m._SwimmerPress(x, y);
  }
  // The left button sets the direction as a window's press does: the
  // second press of a double click arrives there as a double click and is
  // ignored, so even click counts are ignored here.
  canvas.addEventListener('mousedown', (event) => {
    if (event.button === 0 && !(event.detail > 0 && event.detail % 2 === 0))
      pressAt(event);
  });
  // A touch or a pen tip; cancelling it keeps the browser from making a
  // mouse press of it too.
  canvas.addEventListener('pointerdown', (event) => {
    if (event.pointerType === 'mouse' || event.button !== 0)
      return;
    event.preventDefault();
    pressAt(event);
  });
  window.addEventListener('keydown', (event) => {
    if (event.ctrlKey || event.altKey || event.metaKey || event.repeat)
      return;
    if (event.key === 't' || event.key === 'T') {
      figuresShown = !figuresShown;
      overlay.style.display = figuresShown ? 'block' : 'none';
      showFigures(m, performance.now());
    }
  });

  page.release = () => { page.held = false; };
  page.state = () => ({
    ticks: m._SwimmerTicks(),
    time: m._SwimmerSimulatedTime(),
    dropped: m._SwimmerDropped(),
    ticksPerSecond: m._SwimmerTicksPerSecond(performance.now()),
    speed: m._SwimmerSpeed(),
    headX: m._SwimmerHeadX(),
    headY: m._SwimmerHeadY(),
    unwrappedHeadX: m._SwimmerUnwrappedHeadX(),
    unwrappedHeadY: m._SwimmerUnwrappedHeadY(),
    target: m._SwimmerTargetDirection(),
    segments: m._SwimmerSegments(),
    width: m._SwimmerWidth(),
    height: m._SwimmerHeight(),
    now: performance.now(),
  });
  // Milliseconds a tick takes, and a drawing, each the mean over count of
  // them run back to back (the swimmer moves on by count ticks).
  page.measure = (count) => {
    let begin = performance.now();
    m._SwimmerRunTicks(count);
    const tick = (performance.now() - begin) / count;
    begin = performance.now();
    for (let i = 0; i < count; i++) {
      m._SwimmerDraw();
      copyChanged(m);
    }
    const draw = (performance.now() - begin) / count;
    return { tick: tick, draw: draw };
  };
  page.shippedNetworks = shippedNetworks;
  createSwimmerLearning(page, m, createSwimmerPanel(page, m, shippedNetworks));
  page.ready = true;
  window.requestAnimationFrame(frame);
}

createSwimmerModule().then(start, fail);
