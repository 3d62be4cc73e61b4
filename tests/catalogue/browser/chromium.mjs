// Headless Chromium as both page scripts start it: a profile of its own, nothing fetched.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

export async function launchBrowser(viewport) {
    const profile = mkdtempSync(join(tmpdir(), 'velmorant-chromium-'));
    const browser = await chromium.launchPersistentContext(profile, {
        executablePath: process.env.VELMORANT_CHROMIUM || '/usr/bin/chromium',
        headless: true,
        args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
            '--disable-sync', '--no-first-run'],
        viewport,
        timeout: 60000,
    });
    return {
        browser,
        close: async () => {
            await browser.close();
            rmSync(profile, { recursive: true, force: true });
        },
    };
}
