// Validates one glTF file with the Khronos validator and prints its report as JSON; exits 0 when
// the report has no errors, 1 when it has, 2 when the file cannot be read.
'use strict';
const fs = require('fs');
const validator = require('gltf-validator');

const file = process.argv[2];
if (!file) {
  console.error('usage: node validate.js FILE.glb');
  process.exit(2);
}
let bytes;
try {
  bytes = new Uint8Array(fs.readFileSync(file));
} catch (e) {
  console.error(`cannot read ${file}: ${e.message}`);
  process.exit(2);
}
validator.validateBytes(bytes, { uri: file, maxIssues: 100, writeTimestamp: false })
  .then((report) => {
    console.log(JSON.stringify(report, null, 1));
    process.exit(report.issues.numErrors === 0 ? 0 : 1);
  })
  .catch((e) => {
    console.error(`validation failed: ${e}`);
    process.exit(2);
  });
