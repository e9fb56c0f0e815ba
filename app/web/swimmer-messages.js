// The messages between the page and its learning workers, one maker each,
// so that both sides name the same types and fields. A run is learned by
// size workers, each a rank of it with its block of the learners; they
// meet at the checks through the page, which gathers and routes their
// words (Float64Arrays, moved rather than copied).
//
// The page to a worker:
//   start      the run: segments, seed, steps and checkEvery (NaN for the
//              plan's), the worker's rank and the size of the group
//   shared     every rank's words of a share, in rank order
//   delivered  words another rank (from) sent this one
// A worker to the page:
//   share      its words of a collective share
//   send       words for one other rank (to)
//   failed     what went wrong (any rank)
// and from rank 0 alone, since every rank knows the same of every check:
//   started    the plan's budget, check interval and learners
//   progress   the steps done, after every stretch of learning
//   check      a check: its step, each learner's speed, the best speed and
//              step of all checks so far, and the best network's file text
//              when this check found it (else null)
//   finished   the budget is spent (steps), or the weights diverged

export const Message = {
  start: (request, rank, size) => ({ type: 'start', segments: request.segments, seed: request.seed,
                                     steps: request.steps ?? NaN, checkEvery: request.checkEvery ?? NaN,
                                     rank, size }),
  shared: (words) => ({ type: 'shared', words }),
  delivered: (from, words) => ({ type: 'delivered', from, words }),

  share: (words) => ({ type: 'share', words }),
  send: (to, words) => ({ type: 'send', to, words }),
  failed: (message) => ({ type: 'failed', message }),
  started: (budget, checkEvery, learners) => ({ type: 'started', budget, checkEvery, learners }),
  progress: (steps) => ({ type: 'progress', steps }),
  check: (steps, speeds, bestSpeed, bestStep, network) =>
    ({ type: 'check', steps, speeds, bestSpeed, bestStep, network }),
  finished: (steps, diverged) => ({ type: 'finished', steps, diverged }),
};

// Words move with their message: the sender's copy is given up.
export const post = (target, message) =>
  target.postMessage(message, message.words ? [message.words.buffer] : []);

// What the page routes between workers, rather than reads itself.
export const isCollective = (message) => message.type === 'share' || message.type === 'send';
