#include "client/app/intro_movie_hook.h"

#include <atomic>
#include <cstdio>

namespace {

std::atomic<IntroMovieRoutine> g_routine{nullptr};
std::atomic<bool> g_missingSaid{false};

}  // namespace

IntroMovieRoutine SetIntroMovieRoutine(IntroMovieRoutine routine) {
    return g_routine.exchange(routine);
}

void RunIntroMovie() {
    if (IntroMovieRoutine routine = g_routine.load()) {
        routine();
        return;
    }
    if (!g_missingSaid.exchange(true))
        std::fprintf(stderr, "zqdemo: no movie player is linked; the intro is not played\n");
}
