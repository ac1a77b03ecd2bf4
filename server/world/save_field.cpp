#include "server/world/save_field.h"

#include <cstdlib>

void FieldOut::Key() const {
    text += key;
    text += '=';
}

void FieldOut::Text(const std::string& value) const {
    Key();
    text += value;
    text += '\0';
}

void FieldOut::IntOf(const char* otherKey, long long value) const {
    text += otherKey;
    text += '=';
    text += std::to_string(value);
    text += '\0';
}

void FieldOut::NumbersOf(const char* otherKey, std::initializer_list<long long> values) const {
    text += otherKey;
    text += '=';
    bool first = true;
    for (long long v : values) {
        if (!first) text += ' ';
        first = false;
        text += std::to_string(v);
    }
    text += '\0';
}

void FieldIn::Numbers(long long* out, int n) const {
    const char* p = value.c_str();
    for (int i = 0; i < n; ++i) {
        char* end = nullptr;
        out[i] = std::strtoll(p, &end, 10);
        p = end;
    }
}

long long FieldIn::Number() const {
    long long v = 0;
    Numbers(&v, 1);
    return v;
}

Location FieldIn::Loc() const {
    long long v[3];
    Numbers(v, 3);
    Location at;
    at.x = static_cast<s16>(v[0]);
    at.y = static_cast<s16>(v[1]);
    at.z = static_cast<s16>(v[2]);
    return at;
}
