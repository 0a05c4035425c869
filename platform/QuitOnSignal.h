#pragma once

// SIGTERM, SIGINT and SIGHUP end the program the ordinary way: every open dialog returns and
// start-up's exit handling runs, so the single-instance lock is released. Call once, after the
// QApplication exists.
void QuitOnTerminationSignals();
