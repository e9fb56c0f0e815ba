// The page's learner, in a Web Worker of its own: swimmer-train's C++ (the
// module swimmer-learner.js and .wasm, built from the trainer's sources
// without threads) learns a swimmer from scratch here, so that the page's
// own thread keeps the view at its pace. A worker makes one run; the page
// ends it with the run (stopped, the budget spent, or failed), so it needs
// to hear nothing while it learns.
//
// The page posts one request, {segments, seed, steps, checkEvery} (NaN for
// the plan's steps or checks). The worker posts back:
//   {type: 'started', budget, checkEvery, learners}
//   {type: 'progress', steps}             after every stretch of StretchMs
//   {type: 'check', steps, speeds, bestSpeed, bestStep, network}
//       at each check: each learner's speed, the best of all checks so far,
//       and the best network's file text when this check found it (else null)
//   {type: 'finished', steps, diverged}   the budget is spent, or the weights diverged
//   {type: 'failed', message}
'use strict';

importScripts('swimmer-learner.js');

// Milliseconds between progress reports. Learning runs in slices sized from
// the pace so far to take about SliceMs, and the clock is read between
// them; a check (a few seconds of scoring) is one piece and ends a stretch.
const StretchMs = 100;
const SliceMs = 10;
const MostSliceSteps = 1e7;
// Milliseconds the learner gives way after it starts and after a check
// that found a better network: the page then draws its chart or loads the
// network and copies the whole view anew, frames longer than most, and on
// a machine whose cores are busy they come late unless the learner's core
// is free for them. It costs GiveWayMs a check at most (a second and a half
// over the fifteen checks of the three-segment plan).
const GiveWayMs = 100;

const decoder = new TextDecoder();
const answer = (m) => {
  const at = m._LearnerAnswer();
  return decoder.decode(m.HEAPU8.subarray(at, at + m._LearnerAnswerBytes()));
};

// What goes wrong in the learner reaches the page as a message.
const failed = (error) => postMessage({ type: 'failed', message: String(error && error.message || error) });
const guarded = (work) => (...args) => {
  try {
    work(...args);
  } catch (error) {
    failed(error);
  }
};

// Posts the check just made; true if it found a better network.
function postCheck(m) {
  const steps = m._LearnerCheckSteps(), found = m._LearnerHasBest() === 1;
  let network = null;
  if (found && m._LearnerBestStep() === steps) {
    if (!m._LearnerFormatBest())
      throw new Error(`the best network cannot be written: ${answer(m)}`);
    network = answer(m);
  }
  const speeds = [];
  for (let p = 0; p < m._LearnerLearners(); p++)
    speeds.push(m._LearnerCheckSpeed(p));
  postMessage({ type: 'check', steps, speeds, network,
                bestSpeed: found ? m._LearnerBestSpeed() : null,
                bestStep: found ? m._LearnerBestStep() : null });
  return network !== null;
}

// Each stretch is a task of its own, the next one queued behind whatever
// else came (a debugger's question, say) through a channel, which unlike a
// timer adds no delay.
const next = new MessageChannel();

function learn(m, request) {
  if (!m._LearnerStart(request.segments, request.seed, request.steps, request.checkEvery)) {
    postMessage({ type: 'failed', message: answer(m) });
    return;
  }
  postMessage({ type: 'started', budget: m._LearnerBudget(), checkEvery: m._LearnerCheckEvery(),
                learners: m._LearnerLearners() });
  let slice = 1000;
  next.port1.onmessage = guarded(() => {
    const end = performance.now() + StretchMs;
    let checked = false;
    do {
      const begin = performance.now(), before = m._LearnerSteps();
      checked = m._LearnerAdvance(slice) === 1;
      const took = performance.now() - begin;
      if (!checked && took > 0)
        slice = Math.min(MostSliceSteps, Math.max(1, Math.round((m._LearnerSteps() - before) * SliceMs / took)));
    } while (!checked && !m._LearnerDone() && performance.now() < end);
    postMessage({ type: 'progress', steps: m._LearnerSteps() });
    const better = checked && postCheck(m);
    if (m._LearnerDone())
      postMessage({ type: 'finished', steps: m._LearnerSteps(), diverged: m._LearnerDiverged() === 1 });
    else if (better)
      setTimeout(() => next.port2.postMessage(null), GiveWayMs);
    else
      next.port2.postMessage(null);
  });
  setTimeout(() => next.port2.postMessage(null), GiveWayMs);
}

// Not named module: the emscripten loader asks typeof module to tell node.
const loading = createLearnerModule();
self.onmessage = (event) => loading.then(guarded((m) => learn(m, event.data)), failed);
