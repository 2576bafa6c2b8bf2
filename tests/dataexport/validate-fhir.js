// Checks FHIR R4 JSON files against the official FHIR R4 JSON schema: the whole bundle,
// then each resource of its entries on its own for errors one can read. Prints the
// errors; exit status 1 when there are any, 2 when the validator is missing.
let Validator;
try {
  Validator = require('@asymmetrik/fhir-json-schema-validator');
} catch (e) {
  console.error('validator not installed: ' + e.message);
  process.exit(2);
}
const fs = require('fs');
const validator = new Validator();
let failed = false;
for (const file of process.argv.slice(2)) {
  const bundle = JSON.parse(fs.readFileSync(file, 'utf8'));
  const report = (where, errors) => {
    if (errors.length === 0) return;
    failed = true;
    console.log(file + ' ' + where + ': ' + JSON.stringify(errors.slice(0, 5)));
  };
  report('Bundle', validator.validate(bundle));
  (bundle.entry || []).forEach((e, i) => report('entry ' + i, validator.validate(e.resource)));
}
process.exit(failed ? 1 : 0);
