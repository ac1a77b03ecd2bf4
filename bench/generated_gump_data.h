#pragma once
// What the window-drawing benchmarks draw with: the generated gump art and fonts (built once
// per program) and the demo's skill records. A GeneratedGumpData in scope serves the art and
// the skill records and has the fonts loaded.
#include <map>
#include <string>
#include <vector>

#include "client/data/client_skill_table.h"
#include "client/data/fonts.h"
#include "tests/client/data/gump_art_fixture.h"
#include "tools/content_builder/font_and_gump_files.h"
#include "tools/content_builder/skill_names.h"

inline const std::map<std::string, std::vector<u8>>& BuiltGumpFiles() {
    static const std::map<std::string, std::vector<u8>> files = [] {
        std::map<std::string, std::vector<u8>> f;
        BuildFontAndGumpFiles(f, nullptr);
        return f;
    }();
    return files;
}

class GeneratedGumpData {
public:
    GeneratedGumpData()
        : art_(BuiltGumpFiles().at("gumpidx.mul"), BuiltGumpFiles().at("gumpart.mul")),
          skills_(BuildDemoSkillRecords()) {
        const std::vector<u8>& fonts = BuiltGumpFiles().at("fonts.mul");
        GetFontTable().LoadBytes(fonts.data(), fonts.size());
        SetSkillRecordReader([this](int id, std::vector<u8>& out) {
            if (id < 0 || id >= static_cast<int>(skills_.size())) return false;
            out = skills_[static_cast<size_t>(id)].bytes;
            return true;
        });
    }
    GeneratedGumpData(const GeneratedGumpData&) = delete;
    GeneratedGumpData& operator=(const GeneratedGumpData&) = delete;

private:
    GumpFilesSource art_;
    std::vector<IndexedRecord> skills_;
};
