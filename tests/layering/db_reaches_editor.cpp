// Compiled with the database layer's include paths, this must fail: the database is below the
// editor and does not see it.
#include "arx/dbdatabase.h"
#include "editor/session.h"

int main() {
    return 0;
}
