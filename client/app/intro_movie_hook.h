#pragma once
// The intro movie is played by a layer above the client (the movie player); that layer
// installs its intro routine here at start-up and the client calls it through this hook.
using IntroMovieRoutine = void (*)();

// Installs the routine (null removes it); answers the previous one.
IntroMovieRoutine SetIntroMovieRoutine(IntroMovieRoutine routine);

// Plays the intro through the installed routine; without one it says once that no movie
// player is linked and returns.
void RunIntroMovie();
