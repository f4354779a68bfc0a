// Compiled with the module's include paths, this must fail: the module sees the host through
// its module interface only, and the host's insides are not on its path.
#include "arx/dbmtext.h"
#include "db/databaseimpl.h"

int main() {
    return 0;
}
