#pragma once

class CQalmetApp;

// The GUI's start and exit around the main dialog: the language and the
// options are read before the first dialog, the options saved after it.
// Returns the main dialog's result.
int RunKitvane(CQalmetApp& app);
