// Prints one table of an Access file as JSON, read by the npm package mdb-reader: {"columns": [names],
// "rows": [[values]]}. Dates become {"ms": milliseconds since 1970}, bytes {"hex": "..."} (upper case);
// other values are as mdb-reader returns them.
// Usage: node mdb_reader_dump.js NODE_MODULES_DIR FILE TABLE
const path = require('path');
const fs = require('fs');
const [modules, file, table] = process.argv.slice(2);
const MDBReader = require(path.resolve(modules, 'mdb-reader')).default;

function plain(value) {
    if (value instanceof Date) return { ms: value.getTime() };
    if (Buffer.isBuffer(value)) return { hex: value.toString('hex').toUpperCase() };
    return value;
}

const reader = new MDBReader(fs.readFileSync(file));
const data = reader.getTable(table);
const columns = data.getColumnNames();
const rows = data.getData().map(row => columns.map(name => plain(row[name])));
process.stdout.write(JSON.stringify({ columns, rows }));
