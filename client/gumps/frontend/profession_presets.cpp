#include "client/gumps/frontend/profession_presets.h"

#include <cstddef>

namespace {

constexpr std::array<ProfessionPreset, kProfessionCount> kPresets = {{
    {1, "Alchemist", {20, 30, 50}, {0, 26, 36}, {34, 33, 33}},
    {2, "Animal Handler", {25, 25, 50}, {2, 35, 39}, {33, 34, 33}},
    {3, "Assassin", {20, 35, 45}, {21, 30, 36}, {33, 34, 33}},
    {4, "Bard", {20, 45, 35}, {9, 22, 29}, {33, 33, 34}},
    {5, "Blacksmith", {50, 25, 25}, {4, 5, 7}, {33, 33, 34}},
    {6, "Bowyer", {25, 50, 25}, {5, 8, 31}, {33, 34, 33}},
    {7, "Healer", {20, 30, 50}, {1, 17, 19}, {33, 34, 33}},
    {8, "Ranger", {33, 33, 34}, {10, 31, 38}, {33, 33, 34}},
    {9, "Shepherd", {20, 40, 40}, {2, 20, 39}, {33, 34, 33}},
    {10, "Thief", {20, 50, 30}, {28, 24, 33}, {33, 33, 34}},
    {11, "Tinker", {20, 40, 40}, {3, 24, 37}, {33, 33, 34}},
    {12, "Trader", {20, 30, 50}, {3, 4, 12}, {33, 33, 34}},
    {13, "Warrior", {38, 38, 24}, {4, 5, 27}, {33, 33, 34}},
    {14, "Wizard", {25, 25, 50}, {23, 25, 26}, {33, 34, 33}},
}};

// The two values other than `moved` take up `total - sum` between them: half each (the
// second gets the odd point), a share that would pass its limit going to the other.
bool Balance(std::array<int, 3>& v, int moved, int value, int total, int low, int high) {
    const int o1 = moved == 0 ? 1 : 0;
    const int o2 = moved == 2 ? 1 : 2;
    v[static_cast<std::size_t>(moved)] = value;
    const int sum = v[0] + v[1] + v[2];
    int& first = v[static_cast<std::size_t>(o1)];
    int& second = v[static_cast<std::size_t>(o2)];
    if (sum < total) {
        const int d = total - sum;
        int a = d / 2, b = d - a;
        if (high - first < a) {
            b += a - (high - first);
            a = high - first;
        } else if (high - second < b) {
            a += b - (high - second);
            b = high - second;
        }
        first += a;
        second += b;
        return true;
    }
    if (sum > total) {
        const int e = sum - total;
        int a = e / 2, b = e - a;
        if (first - low < a) {
            b += a - (first - low);
            a = first - low;
        } else if (second - low < b) {
            a += b - (second - low);
            b = second - low;
        }
        first -= a;
        second -= b;
        return true;
    }
    return false;
}

}  // namespace

const std::array<ProfessionPreset, kProfessionCount>& ProfessionPresets() {
    return kPresets;
}

const ProfessionPreset* FindProfession(int id) {
    if (id < 1 || id > kProfessionCount) return nullptr;
    return &kPresets[static_cast<std::size_t>(id - 1)];
}

std::array<int, 3> ScaleProfessionWeights(const int weights[3]) {
    int s = weights[0], d = weights[1], i = weights[2];
    const int total = s + d + i;
    if (total <= kAttributeTotal) return {s, d, i};
    s = s * kAttributeTotal / total;
    if (s < kAttributeMin) s = kAttributeMin;
    d = (kAttributeTotal - s) * d / (d + i);
    if (d < kAttributeMin) d = kAttributeMin;
    i = kAttributeTotal - s - d;
    while (i < kAttributeMin && !(s == kAttributeMin && d == kAttributeMin)) {
        if (s > kAttributeMin) {
            --s;
            ++i;
        }
        if (d > kAttributeMin) {
            --d;
            ++i;
        }
    }
    return {s, d, i};
}

bool BalanceAttributes(std::array<int, 3>& attributes, int moved, int value) {
    return Balance(attributes, moved, value, kAttributeTotal, kAttributeMin, kAttributeMax);
}

bool BalanceSkillValues(std::array<int, 3>& values, int moved, int value) {
    return Balance(values, moved, value, kSkillTotal, 0, kSkillValueMax);
}
