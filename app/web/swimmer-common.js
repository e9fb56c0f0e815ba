// Small helpers the page's modules and its learning workers share.

const decoder = new TextDecoder();

// A module's last answer (a message, a network file's text), from the
// buffer its entry points _<owner>Answer and _<owner>AnswerBytes point to
// until its next answer.
export function readAnswer(m, owner) {
  const at = m[`_${owner}Answer`]();
  return decoder.decode(m.HEAPU8.subarray(at, at + m[`_${owner}AnswerBytes`]()));
}

// The page's elements by id, as an object of the same keys.
export function elements(ids) {
  return Object.fromEntries(Object.entries(ids).map(([key, id]) => [key, document.getElementById(id)]));
}

// A status line of the panel: the text, set apart when it refuses.
export function showStatus(element, text, refused) {
  element.textContent = text;
  element.classList.toggle('refused', refused);
}
