#pragma once
// A press on a slider's track: when the screen point lies along a horizontal thumb's track
// (from one pixel before its start to 12 pixels past its last place, and within the thumb's
// row), the thumb takes the mouse capture and jumps under the pointer, reporting the move to
// its window as a drag would.
class CThumbGump;

// True when the thumb grabbed the press. A thumb without a parent never grabs; a hidden one
// does, since only the track's place is looked at.
bool PressSliderTrack(CThumbGump* thumb, int screenX, int screenY);
