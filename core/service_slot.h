#pragma once
// A replaceable service: an interface whose implementation is installed at run time, with the
// interface's own empty implementation in force until one is (and again after null is
// installed). The installer keeps its implementation alive while it is installed.

template <class Services>
class ServiceSlot {
public:
    // The implementation in force (never null).
    Services& Get() { return current_ ? *current_ : empty_; }

    // Installs an implementation (null puts back the empty one); answers the previous one, or
    // null when the empty one was in force.
    Services* Set(Services* services) {
        Services* previous = current_;
        current_ = services;
        return previous;
    }

private:
    Services empty_;
    Services* current_ = nullptr;
};
