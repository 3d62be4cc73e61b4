#!/usr/bin/env node
// Writes a benchmark volume: BANKS bank folders of PROGRAMS program files each, with their
// bank.txt lists and the volume's list of banks. Program files are SIZE bytes with a valid
// header (type tags in turn), the rest zero: only the size matters to what is timed.
// Usage: node make-volume.mjs ROOT [BANKS=100] [PROGRAMS=128] [SIZE=6144]
import { mkdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

const [root, banks = '100', programs = '128', size = '6144'] = process.argv.slice(2);
if (!root) {
    console.error('usage: node make-volume.mjs ROOT [BANKS] [PROGRAMS] [SIZE]');
    process.exit(2);
}
const tags = ['mpsa', 'umdr', '  fm', 'ogal', 'utfl', 'arcl'];
const categories = 'ABCDEFGHIJKLMNOP';
const programsFolder = join(root, 'Programs');
mkdirSync(programsFolder, { recursive: true });

const bankNames = [];
for (let b = 0; b < Number(banks); b++) {
    const bank = `Bank${String(b + 1).padStart(3, '0')}`;
    bankNames.push(bank);
    mkdirSync(join(programsFolder, bank), { recursive: true });
    const lines = [];
    for (let p = 0; p < Number(programs); p++) {
        const name = `Program ${b + 1}-${p + 1}`;
        const bytes = Buffer.alloc(Number(size));
        bytes.write('S80p', 0, 'latin1');
        bytes.writeUInt32BE(bytes.length - 8, 4);
        bytes.write(tags[(b + p) % tags.length], 12, 'latin1');
        writeFileSync(join(programsFolder, bank, `${name}.afp`), bytes);
        lines.push(`${name}:${categories[p % 16]}${categories[(p * 7) % 16]}`);
    }
    writeFileSync(join(programsFolder, bank, 'bank.txt'),
        `Number of items: ${lines.length}\r\n${lines.map((line) => `${line}\r\n`).join('')}`, 'latin1');
}
writeFileSync(join(programsFolder, 'bank.txt'),
    `Number of items: ${bankNames.length}\r\n${bankNames.map((name) => `${name}\r\n`).join('')}`, 'latin1');
