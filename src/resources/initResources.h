#pragma once

// Registers the compiled-in icons and data under ":/resources/". Safe to call
// more than once; start-up calls it, and so does the main window, so tests
// that build the window alone see the icons too.
void initResources();
