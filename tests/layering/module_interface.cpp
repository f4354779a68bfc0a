// The module's include paths reach the module interface and the platform's public headers:
// this compiles, so that the failures beside it fail for the include they are about.
#include "arx/dbmtext.h"
#include "win/dialog.h"

int main() {
    return 0;
}
