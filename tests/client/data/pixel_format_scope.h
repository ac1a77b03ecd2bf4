#pragma once
// Puts the process-wide 565 switch in a state for one test and back afterwards.
#include "client/data/pixel_format.h"

class Scoped565 {
public:
    explicit Scoped565(bool on) : previous_(Use565()) { SetPixelFormat565(on); }
    ~Scoped565() { SetPixelFormat565(previous_); }
    Scoped565(const Scoped565&) = delete;
    Scoped565& operator=(const Scoped565&) = delete;

private:
    bool previous_;
};
