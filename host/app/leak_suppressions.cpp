// Under the leak checker (the sanitizer build): what Qt keeps to the end of the process in
// `cadhost --gui` without freeing it, which is no leak of the host's: the fontconfig
// configuration its font database loads once, and on X11 the D-Bus connection of the
// desktop's services and Qt's thread for it (which the accessibility bridge starts).  The checker
// says nothing of them, so that the log stays the host's.
#if defined(__SANITIZE_ADDRESS__)
#define CADHOST_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CADHOST_LEAK_CHECKED 1
#endif
#endif

#if CADHOST_LEAK_CHECKED
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n"
           "leak:libQt6DBus.so\n";
}
#endif
