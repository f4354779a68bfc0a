// The external edit of a placed specification, started by a double-click.
#pragma once

// Works on the host's current selection: the first selected MText is the one double-clicked.
void LaunchExternalEdit();
