// One of the page's learners, in a Web Worker of its own: swimmer-train's
// C++ (the module swimmer-learner.js and .wasm, built from the trainer's
// sources without threads) learns its block of a run's learners here, one
// rank of the run, so that the page's own thread keeps the view at its
// pace. A worker makes one run; the page ends it with the run (stopped,
// the budget spent, or failed).
//
// The workers meet at the checks, through the page (the messages are
// swimmer-messages.js'): the module's rank group (WorkerRanks.h) hands a
// collective's words to Module.ranks below, which posts them to the page
// and resolves when the page's answer comes.

import { readAnswer } from './swimmer-common.js';
import { Message, post } from './swimmer-messages.js';
import createLearnerModule from './swimmer-learner.js';

// Milliseconds between progress reports. Learning runs in slices sized from
// the pace so far to take about SliceMs, and the clock is read between
// them; a check (a few seconds of scoring) is one piece and ends a stretch.
const StretchMs = 100;
const SliceMs = 10;
const MostSliceSteps = 1e7;
// Milliseconds the learners give way after they start and after a check
// that found a better network: the page then draws its chart or loads the
// network and copies the whole view anew, frames longer than most, and on
// a machine whose cores are busy they come late unless the learners' cores
// are free for them. It costs GiveWayMs a check at most (a second and a
// half over the fifteen checks of the three-segment plan).
const GiveWayMs = 100;

const answer = (m) => readAnswer(m, 'Learner');

// What goes wrong in the learner reaches the page as a message.
const failed = (error) => postMessage(Message.failed(String(error && error.message || error)));

// This rank's side of the page's switchboard. A collective waits for one
// answer at a time; words sent from another rank wait in its queue until
// this rank asks for them, in the order every rank agrees on.
const ranks = {
  shared: null,
  inbox: new Map(),
  waiting: new Map(),
  share(own) {
    return new Promise((resolve) => {
      this.shared = resolve;
      post(self, Message.share(own));
    });
  },
  send(to, words) {
    post(self, Message.send(to, words));
  },
  receive(from) {
    const queued = this.inbox.get(from);
    if (queued && queued.length > 0)
      return Promise.resolve(queued.shift());
    return new Promise((resolve) => this.waiting.set(from, resolve));
  },
  heard(message) {
    if (message.type === 'shared') {
      const resolve = this.shared;
      this.shared = null;
      resolve(message.words);
      return;
    }
    const waiting = this.waiting.get(message.from);
    if (waiting) {
      this.waiting.delete(message.from);
      waiting(message.words);
    } else {
      if (!this.inbox.has(message.from))
        this.inbox.set(message.from, []);
      this.inbox.get(message.from).push(message.words);
    }
  },
};

// The check just made, posted by rank 0; true on every rank if it found a
// better network.
function reportCheck(m, rank) {
  const steps = m._LearnerCheckSteps(), found = m._LearnerHasBest() === 1;
  const better = found && m._LearnerBestStep() === steps;
  if (rank !== 0)
    return better;
  let network = null;
  if (better) {
    if (!m._LearnerFormatBest())
      throw new Error(`the best network cannot be written: ${answer(m)}`);
    network = answer(m);
  }
  const speeds = [];
  for (let p = 0; p < m._LearnerLearners(); p++)
    speeds.push(m._LearnerCheckSpeed(p));
  postMessage(Message.check(steps, speeds, found ? m._LearnerBestSpeed() : null,
                            found ? m._LearnerBestStep() : null, network));
  return better;
}

// Each stretch is a task of its own, the next one queued behind whatever
// else came (the other ranks' words, a debugger's question) through a
// channel, which unlike a timer adds no delay.
const next = new MessageChannel();
const nextTask = () => new Promise((resolve) => {
  next.port1.onmessage = resolve;
  next.port2.postMessage(null);
});
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function learn(m, request) {
  const rank = request.rank;
  if (!m._LearnerStart(request.segments, request.seed, request.steps, request.checkEvery, rank,
                       request.size)) {
    failed(answer(m));
    return;
  }
  if (rank === 0)
    postMessage(Message.started(m._LearnerBudget(), m._LearnerCheckEvery(), m._LearnerLearners()));
  const advance = (steps) => m.ccall('LearnerAdvance', 'number', ['number'], [steps], { async: true });
  let slice = 1000;
  await pause(GiveWayMs);
  for (;;) {
    const end = performance.now() + StretchMs;
    let checked = false;
    do {
      const begin = performance.now(), before = m._LearnerSteps();
      checked = await advance(slice) === 1;
      const took = performance.now() - begin;
      if (!checked && took > 0)
        slice = Math.min(MostSliceSteps, Math.max(1, Math.round((m._LearnerSteps() - before) * SliceMs / took)));
    } while (!checked && !m._LearnerDone() && performance.now() < end);
    if (rank === 0)
      postMessage(Message.progress(m._LearnerSteps()));
    const better = checked && reportCheck(m, rank);
    if (m._LearnerDone()) {
      if (rank === 0)
        postMessage(Message.finished(m._LearnerSteps(), m._LearnerDiverged() === 1));
      return;
    }
    await (better ? pause(GiveWayMs) : nextTask());
  }
}

const loading = createLearnerModule({ ranks });
self.onmessage = (event) => {
  const message = event.data;
  if (message.type === 'start')
    loading.then((m) => learn(m, message)).catch(failed);
  else
    ranks.heard(message);
};
