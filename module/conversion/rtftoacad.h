// The command that converts one document to MText content for inspection.
#pragma once

// Asks for a Word document, Rich Text file or text file, converts it the way placed
// specifications are converted, and writes the MText content to C:\KSR\Rivlet\output.TXT.
// The drawing is not touched.
void RtfToAcad();
