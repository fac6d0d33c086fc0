#pragma once

/** Xlib's default error handler ends the process, and windows opened and closed in quick
    succession now and then give an error for a window that is already gone (a query on its parent
    chain, say). The framework ignores such errors, but installs its handler only inside an
    application, so the test programs, the fuzz targets and the benchmark programs install the same. */
void ignoreXErrors();
