// The outside engine: V8's RegExp. Reads one JSON [pattern, text] a line and
// writes one JSON verdict a line: {"match": [groups...]} with "" for a group
// that took no part, {"match": null}, or {"error": message}.
// The pattern must describe the whole text: sticky at 0, nothing after it.
// The m flag makes ^ and $ break at line feeds; the u flag refuses the legacy
// forms that our grammar refuses too.
'use strict';
const lines = require('fs').readFileSync(0, 'utf8').split('\n').filter((line) => line.length > 0);
const out = lines.map((line) => {
  const [pattern, text] = JSON.parse(line);
  try {
    const match = new RegExp('(?:' + pattern + ')(?![\\s\\S])', 'muy').exec(text);
    return JSON.stringify({match: match && Array.from(match, (g) => (g === undefined ? '' : g))});
  } catch (e) {
    return JSON.stringify({error: String(e.message)});
  }
});
process.stdout.write(out.map((l) => l + '\n').join(''));
