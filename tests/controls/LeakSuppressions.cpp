// Under the leak sanitizer: the font configuration library keeps caches for the life of the
// process that it never frees; those are not leaks of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}
