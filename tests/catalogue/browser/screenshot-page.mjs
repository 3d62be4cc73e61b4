#!/usr/bin/env node
// Opens a written page from disk in headless Chromium, optionally sorts its table by a header
// and types into a column's filter, and saves a picture of it (scripts/gui-screenshots.sh).
// Usage: node screenshot-page.mjs PAGE.htm SCREENSHOT.png [SORT_COLUMN [FILTER_COLUMN FILTER_TEXT]]
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const [pagePath, screenshotPath, sortColumn, filterColumn, filterText] = process.argv.slice(2);
if (!pagePath || !screenshotPath) {
    console.error('usage: node screenshot-page.mjs PAGE.htm SCREENSHOT.png [SORT_COLUMN [FILTER_COLUMN TEXT]]');
    process.exit(2);
}
const profile = mkdtempSync(join(tmpdir(), 'velmorant-chromium-'));
const browser = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.VELMORANT_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
        '--disable-sync', '--no-first-run'],
    viewport: { width: 1100, height: 700 },
    timeout: 60000,
});
try {
    const page = browser.pages()[0] ?? await browser.newPage();
    await page.goto(pathToFileURL(resolve(pagePath)).href, { waitUntil: 'load', timeout: 30000 });
    if (sortColumn) {
        await page.waitForFunction(() => document.querySelectorAll('#idMyTable img.sort-arrow').length > 0,
            null, { timeout: 10000 });
        await page.locator(`#idMyTable tr:first-child th:nth-child(${Number(sortColumn)})`).click();
    }
    if (filterColumn && filterText) {
        const input = page.locator(`#idMyTable tr:nth-child(2) th:nth-child(${Number(filterColumn)}) input`);
        await input.fill(filterText);
        await input.press('Enter');
    }
    await page.screenshot({ path: screenshotPath, fullPage: false });
} finally {
    await browser.close();
    rmSync(profile, { recursive: true, force: true });
}
console.log(resolve(screenshotPath));
