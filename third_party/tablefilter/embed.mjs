#!/usr/bin/env node
// Turns the table-filter library's distributed files into a C++ source, so the catalogue
// writer carries them inline and the program needs no file beside it at run time.
// Usage: node embed.mjs DIST_DIR ADAPTER_JS OUTPUT_CPP
import { readFileSync, writeFileSync, existsSync, renameSync } from 'node:fs';
import { join, dirname, extname } from 'node:path';

const [distDir, adapterPath, outputPath] = process.argv.slice(2);
if (!distDir || !adapterPath || !outputPath) {
    console.error('usage: node embed.mjs DIST_DIR ADAPTER_JS OUTPUT_CPP');
    process.exit(2);
}

function fail(message) {
    console.error(`embed.mjs: ${message}`);
    process.exit(1);
}

function read(path) {
    if (!existsSync(path)) {
        fail(`${path} is missing; run scripts/setup.sh to install the table-filter package`);
    }
    return readFileSync(path);
}

// The page declares no character set, so the script is kept to ASCII: every other
// character (a few inside string literals) becomes a \u escape, which means the same to
// the script whatever encoding the browser guesses.
function asciiScript(path) {
    const text = read(path).toString('utf8');
    let out = '';
    for (let i = 0; i < text.length; i++) {
        const code = text.charCodeAt(i);
        if (code < 0x80) {
            out += text[i];
        } else if (text[i - 1] === '\\') {
            fail(`${path}: an escaped non-ASCII character at ${i} cannot be rewritten`);
        } else {
            out += '\\u' + code.toString(16).padStart(4, '0');
        }
    }
    return out;
}

const mainBundle = asciiScript(join(distDir, 'tablefilter.js'));

// The sort extension lives in the one chunk the bundle loads on demand; its file name
// carries a hash that only the bundle knows.
const chunkMap = mainBundle.match(/"tf-"\+\(\{\}\[t\]\|\|t\)\+"-"\+\{1:"([0-9a-f]+)"\}\[t\]/);
if (!chunkMap) {
    fail('cannot find the sort chunk name in tablefilter.js');
}
const chunk = asciiScript(join(distDir, `tf-1-${chunkMap[1]}.js`));

const mimeTypes = { '.png': 'image/png', '.gif': 'image/gif', '.jpg': 'image/jpeg' };
function dataUri(path) {
    const mime = mimeTypes[extname(path).toLowerCase()];
    if (!mime) {
        fail(`no media type for ${path}`);
    }
    return `data:${mime};base64,${read(path).toString('base64')}`;
}

const styleDir = join(distDir, 'style');
// Images the stylesheet names become data URIs. One the package does not ship (it belongs
// to an extension the catalogue does not use) becomes "none" rather than a request.
const stylesheet = read(join(styleDir, 'tablefilter.css')).toString('latin1').replace(
    /url\("?([^")]+)"?\)/g, (whole, ref) => {
        const path = join(styleDir, ref);
        return existsSync(path) ? `url("${dataUri(path)}")` : 'none';
    });
const blankImage = dataUri(join(styleDir, 'themes', 'blank.png'));

// A string literal that also cannot end the page's script element.
function jsString(text) {
    return JSON.stringify(text).replace(/<\//g, '<\\/');
}

const adapter = read(adapterPath).toString('latin1')
    .replace('@BLANK_IMAGE@', () => jsString(blankImage))
    .replace('@STYLESHEET@', () => jsString(stylesheet));

// The library's licence asks for its notice in every copy: each page opens with it.
const packageDir = join(distDir, '..', '..');
const version = JSON.parse(read(join(packageDir, 'package.json')).toString('utf8')).version;
const licence = read(join(packageDir, 'LICENSE')).toString('latin1').replace(/\r\n/g, '\n').trim();
if (licence.includes('*/')) {
    fail('the licence text would end its comment early');
}
const banner = `/*! TableFilter ${version}, the table-filter library this page uses, with its sort extension.\n\n${licence}\n*/\n`;

const script = `${banner}${mainBundle}\n${chunk}\n${adapter}`;
if (/<\/script|<!--/i.test(script)) {
    fail('the script text would end the page\'s script element early');
}

// Pieces small enough for every compiler's string literal limit.
function cLiteral(bytes) {
    let out = '"';
    for (const c of bytes) {
        const code = c.charCodeAt(0);
        if (c === '"' || c === '\\' || c === '?') {
            out += '\\' + c;
        } else if (code === 10) {
            out += '\\n';
        } else if (code >= 0x20 && code < 0x7f) {
            out += c;
        } else {
            out += '\\' + code.toString(8).padStart(3, '0');
        }
    }
    return out + '"';
}

const pieceSize = 4000;
const pieces = [];
for (let i = 0; i < script.length; i += pieceSize) {
    const piece = script.slice(i, i + pieceSize);
    pieces.push(`    std::string_view(${cLiteral(piece)}, ${piece.length}),`);
}

const source = `// Generated at build time from the table-filter package ${version}; do not edit.
#include "catalogue/TableFilterScript.h"

#include <string>

namespace velmorant::catalogue {

namespace {

const std::string_view kPieces[] = {
${pieces.join('\n')}
};

}  // namespace

std::string_view TableFilterScript() {
    static const std::string text = [] {
        std::string joined;
        joined.reserve(${script.length});
        for (std::string_view piece : kPieces) {
            joined.append(piece);
        }
        return joined;
    }();
    return text;
}

std::string_view TableFilterVersion() {
    return "${version}";
}

}  // namespace velmorant::catalogue
`;

// Replaced in one step, so an interrupted build never leaves half a source behind.
const temporary = `${outputPath}.tmp`;
writeFileSync(temporary, source, 'latin1');
renameSync(temporary, outputPath);
