// A movie module of another build: it answers FAKE_VERSION (where defined) and
// has an engine that must never be asked for.
#include <cstdlib>

#ifdef FAKE_VERSION
extern "C" const char* reelbind_movies_version()
{
    return FAKE_VERSION;
}
#endif

extern "C" void* reelbind_movies_engine()
{
    std::abort();
}
