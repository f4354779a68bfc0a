// Under the leak checker: what Qt keeps to the end of the process without freeing it, which is
// no leak of ours: the fontconfig configuration its font database loads once, and on X11 the
// D-Bus connection of the desktop's services and Qt's thread for it (which the accessibility
// bridge starts).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n"
           "leak:libQt6DBus.so\n";
}
