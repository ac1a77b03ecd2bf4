#pragma once
// A rectangle of the 640 x 480 screen in window pixels: left and top inside, right and bottom
// outside.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
