// A movie module of another build: it answers FAKE_VERSION (where defined); its engine is never
// to be asked for.
#ifdef FAKE_VERSION
extern "C" const char* reelbind_movies_version()
{
    return FAKE_VERSION;
}
#endif
extern "C" void* reelbind_movies_engine()
{
    __builtin_trap();
}
