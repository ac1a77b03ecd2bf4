#pragma once
// The font and gump art files built once per test program.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tools/content_builder/font_and_gump_files.h"

using FontAndGumpFiles = std::map<std::string, std::vector<u8>>;

inline const FontAndGumpFiles& BuiltFontAndGumpFiles() {
    static const FontAndGumpFiles files = [] {
        FontAndGumpFiles f;
        std::string error;
        EXPECT_TRUE(BuildFontAndGumpFiles(f, &error)) << error;
        return f;
    }();
    return files;
}
