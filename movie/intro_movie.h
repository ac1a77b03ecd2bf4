#pragma once
// The client's intro: the movie "music/intro.wve" from the install directory (else from the
// CD data directory) played pixel-doubled on scan lines in the middle of the 640x480
// screen, with its sound; a key or a mouse button skips it.
namespace movie {

// Plays the intro when the file is there, else the video intro (PlayIntroVideo).
void PlayIntroMovie();

// The per-frame callback of the intro: takes the next window event; a key or button press
// stops the movie (non-zero), and so does a close request, which is then handed on to the
// window so that the client closes as usual. It also stops the movie once the process is
// asked to end.
int IntroMovieCallback();

// The intro as a video file ("music/intro.avi"): only its file check is built.
void PlayIntroVideo();

// Hooks PlayIntroMovie into the client's start-up.
void InstallIntroMovie();

}  // namespace movie
