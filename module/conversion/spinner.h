// The progress mark of long layouts: a bar that turns on the spot on the command line.
#pragma once

// The next frame of the mark: "\r/", "\r-", "\r\\", "\r-" in turn, from one counter for the
// life of the module.  Each frame opens with a carriage return so the frames overwrite each
// other.
const char* NextSpinnerFrame();
