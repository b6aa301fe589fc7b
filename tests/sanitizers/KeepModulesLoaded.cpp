// Linked only into the sanitizer build. Mesa's GLX loader unloads its software renderer
// ("swrast_dri.so") with dlclose when the window's display goes away. The renderer's live caches
// are then no longer reachable from any mapped module, so LeakSanitizer reports them at exit with
// frames in an "<unknown module>" that no suppression can name. Keeping every module mapped until
// the process ends leaves those blocks reachable and the stacks of real leaks readable; nothing of
// ours is hidden by it, because the game's own code never unloads a module.
//
// The executable's definition takes precedence over the C library's for every shared library.

extern "C" int dlclose(void* handle)
{
    (void)handle;
    return 0;
}
