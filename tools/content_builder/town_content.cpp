#include "tools/content_builder/town_content.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/archive.h"
#include "core/archive_builder.h"
#include "core/next_word.h"
#include "platform/random.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_manager.h"
#include "server/area/regions.h"
#include "server/frame/server_services.h"
#include "server/server_config.h"
#include "server/world/item.h"
#include "server/world/npc.h"
#include "server/world/object_manager.h"
#include "server/world/object_templates.h"
#include "server/world/sector_grid.h"
#include "server/world/skill_table.h"
#include "server/world/template_creation.h"
#include "server/world/weapon.h"
#include "server/world/world_data_files.h"
#include "server/world/world_init.h"
#include "server/world/world_save.h"

namespace {

bool Fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

std::string At(const char* file, int line) {
    return std::string(file) + ":" + std::to_string(line) + ": ";
}

// One bracket entry with the line it starts on.
struct Entry {
    std::string text;
    int line = 0;
};

// The entries of a text grouped as the server reads them: each group runs to an end entry.
// `unterminated` tells whether the text ended inside a group.
struct EntryReader {
    explicit EntryReader(const std::string& text) : copy(text) {
        if (!copy.empty()) file = fmemopen(copy.data(), copy.size(), "r");
    }
    ~EntryReader() {
        if (file) std::fclose(file);
    }
    // The next entry; false at an end entry or the end of the text.
    bool Next(Entry& out) {
        if (!file) return false;
        const char* e = ReadBracketEntry(file, &lines);
        if (!e) {
            atEnd = std::feof(file) != 0;
            return false;
        }
        out.text = e;
        out.line = lines.entry;
        return true;
    }
    std::string copy;
    std::FILE* file = nullptr;
    BracketEntryLines lines;
    bool atEnd = false;
};

// A file that is not there reads as empty: a world may do without any of these tables.
bool ReadFile(const std::string& path, std::string& out, std::string* error) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        out.clear();
        return true;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail(error, "cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

std::string FirstWord(const char*& p) {
    char word[1024];
    p = NextWord(p, word);
    return word;
}

bool IsNumber(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// The archive being built, opened as the process's data archive for as long as the town is
// made in it, and the world's tables emptied again afterwards.
class ArchiveWorld {
public:
    explicit ArchiveWorld(std::vector<u8> bytes) : bytes_(std::move(bytes)) {
        std::FILE* file = fmemopen(bytes_.data(), bytes_.size(), "rb");
        open_ = file && InitDataArchiveFromFile(file, "the archive being built");
    }
    ~ArchiveWorld() {
        DestroyWorldObjects();
        GetScriptManager().FreeReleasedInstances();
        FreeReleasedValues();
        GetScriptManager().UnloadAll();
        g_templateTable.Unload();
        g_weaponTemplates.Clear();
        g_regionManager.Clear();
        ShutdownDataArchive();  // before the bytes it reads go
    }
    ArchiveWorld(const ArchiveWorld&) = delete;
    ArchiveWorld& operator=(const ArchiveWorld&) = delete;
    bool Open() const { return open_; }

private:
    std::vector<u8> bytes_;
    bool open_ = false;
};

}  // namespace

std::set<std::string> ContentScriptClasses(const std::string& contentDir) {
    std::set<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(contentDir + "/scripts", ec)) {
        if (e.path().extension() == ".zqs") out.insert(e.path().stem().string());
    }
    return out;
}

bool ParseTownPlacements(const std::string& text, std::vector<TownPlacement>& out,
                         std::string* error) {
    EntryReader reader(text);
    Entry e;
    bool hasLeader = false;
    for (;;) {
        if (!reader.Next(e)) {
            if (reader.atEnd || !reader.file) return true;
            return Fail(error, At("town.txt", reader.lines.entry) + "unexpected end entry");
        }
        const char* p = e.text.c_str();
        const std::string key = FirstWord(p);
        if (key != "place")
            return Fail(error, At("town.txt", e.line) + "unknown entry \"" + key + "\"");
        std::string fields[4];
        for (std::string& f : fields) {
            f = FirstWord(p);
            const bool negative = !f.empty() && f[0] == '-';
            if (!IsNumber(negative ? f.substr(1) : f)) {
                return Fail(error,
                            At("town.txt", e.line) + "a placement is <place TEMPLATE X Y Z>");
            }
        }
        TownPlacement placement;
        const std::string role = FirstWord(p);
        if (role == "loiter") {
            placement.role = TownRole::kLoiter;
        } else if (role == "leads") {
            placement.role = TownRole::kLeads;
            hasLeader = true;
        } else if (role == "follows") {
            placement.role = TownRole::kFollows;
            if (!hasLeader)
                return Fail(error, At("town.txt", e.line) + "a follower before any leader");
        } else if (!role.empty()) {
            return Fail(error, At("town.txt", e.line) + "unknown role \"" + role +
                                   "\" (loiter, leads or follows)");
        }
        if (!FirstWord(p).empty())
            return Fail(error, At("town.txt", e.line) + "text after the placement");
        placement.templateNumber = std::atoi(fields[0].c_str());
        placement.at = Location(std::atoi(fields[1].c_str()), std::atoi(fields[2].c_str()),
                                std::atoi(fields[3].c_str()));
        placement.line = e.line;
        out.push_back(placement);
    }
}

bool CheckNameTable(const std::string& text, std::string* error) {
    EntryReader reader(text);
    Entry e;
    std::set<int> seen;
    while (reader.Next(e)) {
        if (!IsNumber(e.text))
            return Fail(error, At("namestable.dat", e.line) + "expected a name set number");
        const int number = std::atoi(e.text.c_str());
        if (!seen.insert(number).second) {
            return Fail(error,
                        At("namestable.dat", e.line) + "name set " + e.text + " is defined twice");
        }
        while (reader.Next(e)) {
            NameSet probe;
            if (!AddNameEntry(probe, e.text.c_str())) {
                return Fail(error, At("namestable.dat", e.line) + "unknown name kind in \"" +
                                       e.text + "\" (male, female or other)");
            }
        }
        if (reader.atEnd)
            return Fail(error, At("namestable.dat", reader.lines.next) + "name set " +
                                   std::to_string(number) + " has no end entry");
    }
    return true;
}

bool CheckTemplateTable(const std::string& text, const std::string& names,
                        const std::set<std::string>& scripts, std::string* error) {
    CTemplateTable sets;
    sets.LoadNamesText(names);
    EntryReader reader(text);
    Entry e;
    std::set<int> seen;
    const char* file = "templatestable.dat";
    while (reader.Next(e)) {
        if (!IsNumber(e.text)) return Fail(error, At(file, e.line) + "expected a template number");
        const int number = std::atoi(e.text.c_str());
        const std::string t = "template " + e.text + ": ";
        if (!seen.insert(number).second) return Fail(error, At(file, e.line) + t + "defined twice");
        const int numberLine = e.line;
        int count = 0;
        while (reader.Next(e)) {
            const char* p = e.text.c_str();
            const std::string key = FirstWord(p);
            const int code = TemplateKeyCodeOf(key.c_str());
            if (code < 0) return Fail(error, At(file, e.line) + t + "unknown key \"" + key + "\"");
            if (count == 0 && code != kKeyType)
                return Fail(error, At(file, e.line) + t + "the type line must come first");
            ++count;
            const std::string value = FirstWord(p);
            if (code == kKeyType && value != "normal" && value != "guard" &&
                value != "shopkeeper" && value != "item" && value != "none") {
                return Fail(error, At(file, e.line) + t + "unknown kind \"" + value + "\"");
            }
            if (code == kKeyName && !sets.FindNameSet(std::atoi(value.c_str()))) {
                return Fail(error,
                            At(file, e.line) + t + "no name set " + value + " in namestable.dat");
            }
            if (code == kKeyScript && !scripts.count(value)) {
                return Fail(error,
                            At(file, e.line) + t + "no script class \"" + value + "\" in scripts/");
            }
        }
        if (count == 0) return Fail(error, At(file, numberLine) + t + "has no type line");
        if (count > kMaxTemplateEntries) {
            return Fail(error, At(file, numberLine) + t + "holds more than " +
                                   std::to_string(kMaxTemplateEntries) + " entries");
        }
        if (reader.atEnd) return Fail(error, At(file, reader.lines.next) + t + "has no end entry");
    }
    return true;
}

bool CheckRegions(const std::string& text, std::string* error) {
    RegionManager probe;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    u16 version = kRegionOldFileVersion;
    while (std::getline(in, line)) {
        ++number;
        if (number == 1) {
            unsigned v = 0;
            if (std::sscanf(line.c_str(), "version %u", &v) == 1) {
                version = static_cast<u16>(v);
                continue;
            }
        }
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        std::istringstream fields(line);
        std::string field;
        for (int i = 0; i < 9 && fields >> field; ++i) {
        }
        if (field.size() >= static_cast<size_t>(kRegionTextCapacity)) {
            return Fail(error, At("regions.txt", number) + "the region name \"" + field +
                                   "\" is longer than 39 characters");
        }
        if (!probe.ParseRegionLine(version, line.c_str()))
            return Fail(error, At("regions.txt", number) + "not a region, or one already given");
    }
    return true;
}

bool CheckTownPlacements(const std::vector<TownPlacement>& placements, const std::string& templates,
                         std::string* error) {
    CTemplateTable table;
    table.LoadTemplatesText(templates);
    for (const TownPlacement& p : placements) {
        if (!table.Contains(p.templateNumber)) {
            return Fail(error, At("town.txt", p.line) + "no template " +
                                   std::to_string(p.templateNumber) + " in templatestable.dat");
        }
    }
    return true;
}

bool ReadTownContent(const std::string& contentDir, TownContent& out, std::string* error) {
    std::string town;
    if (!ReadFile(contentDir + "/templatestable.dat", out.templates, error) ||
        !ReadFile(contentDir + "/namestable.dat", out.names, error) ||
        !ReadFile(contentDir + "/defines", out.defines, error) ||
        !ReadFile(contentDir + "/regions.txt", out.regions, error) ||
        !ReadFile(contentDir + "/town.txt", town, error)) {
        return false;
    }
    std::string why;
    const bool ok =
        CheckNameTable(out.names, &why) &&
        CheckTemplateTable(out.templates, out.names, ContentScriptClasses(contentDir), &why) &&
        CheckRegions(out.regions, &why) && ParseTownPlacements(town, out.placements, &why) &&
        CheckTownPlacements(out.placements, out.templates, &why);
    if (!ok) return Fail(error, contentDir + "/" + why);
    return true;
}

bool AddTownContent(ArchiveBuilder& builder, const std::string& contentDir,
                    const std::string& world, std::string* error) {
    TownContent content;
    if (!ReadTownContent(contentDir, content, error)) return false;
    const std::string bank = "../.rundir/bank/";
    const std::pair<std::string, const std::string*> members[] = {
        {bank + "templatestable.dat", &content.templates},
        {bank + "namestable.dat", &content.names},
        {bank + "defines", &content.defines},
        {"../.rundir/" + world + "/regions.txt", &content.regions},
    };
    for (const auto& [path, text] : members) {
        if (text->empty()) continue;  // not in the content: the server's table stays empty
        if (!builder.Add(path, *text))
            return Fail(error, "cannot add " + path + ": " + builder.Error());
    }
    return true;
}

bool BuildDemoTown(const std::vector<TownPlacement>& placements, std::vector<u32>& serials,
                   std::string* error) {
    platform::SeedRandom(kDemoTownSeed);
    u32 leader = 0;
    for (const TownPlacement& p : placements) {
        // Resource factor 1: each object holds its template's resources once, in full (with
        // 0 a creature would hold none of them, and want and fear nothing).
        CItem* made = CreateTemplateObject(p.templateNumber, p.at, 0, 1, nullptr);
        if (!made) {
            return Fail(error, At("town.txt", p.line) + "template " +
                                   std::to_string(p.templateNumber) + " made nothing at " +
                                   std::to_string(p.at.x) + "," + std::to_string(p.at.y));
        }
        serials.push_back(made->GetSerial());
        if (p.role == TownRole::kNone) continue;
        CNPC* npc = made->AsNPC();
        if (!npc) {
            return Fail(error, At("town.txt", p.line) + "template " +
                                   std::to_string(p.templateNumber) +
                                   " makes no creature to give a role");
        }
        switch (p.role) {
            case TownRole::kLoiter:
                npc->SetNpcFlags(kNpcLoiterMode);
                npc->ai.loiterLoc = p.at;
                break;
            case TownRole::kLeads:
                leader = npc->GetSerial();
                break;
            case TownRole::kFollows:
                if (CItem* head = g_objectManager.FindBySerial(leader); head && head->AsMobile())
                    head->AsMobile()->AddFollower(npc);
                break;
            case TownRole::kNone:
                break;
        }
    }
    return true;
}

bool AddDemoTown(ArchiveBuilder& builder, const std::string& contentDir, const std::string& world,
                 int x0, int y0, int width, int height, std::string* error) {
    TownContent content;
    if (!ReadTownContent(contentDir, content, error)) return false;
    if (content.placements.empty()) return true;  // the server starts with an empty world
    std::vector<u8> bytes = builder.Build();
    if (bytes.empty()) return Fail(error, "cannot build the archive: " + builder.Error());
    ArchiveWorld archive(std::move(bytes));
    if (!archive.Open())
        return Fail(error, "cannot read the archive being built: " + DataArchiveError());
    g_sectorGrid.SetCorner(x0, y0);
    if (g_sectorGrid.Create(width, height) != 0)
        return Fail(error, "the world size gives no map cells");
    InstallServerServices();
    // The server's start-up up to its saved objects: the data files, then the tables that
    // creation from templates reads.
    std::string why;
    if (LoadWorldDataFiles(ReadArchiveFile, world, nullptr, &why) != 0) return Fail(error, why);
    g_skillTable.Load();
    g_templateTable.Load();
    g_weaponTemplates.LoadAll();
    g_regionManager.Load();
    std::vector<u32> serials;
    if (!BuildDemoTown(content.placements, serials, &why))
        return Fail(error, contentDir + "/" + why);
    const SectorPair pair = BuildDynamicPair();
    for (const auto& [name, member] :
         {std::pair{"dynidx0.mul", &pair.index}, std::pair{"dynamic0.mul", &pair.data}}) {
        const std::string path = WorldDataPath(world, name);
        if (!builder.Add(path, *member))
            return Fail(error, "cannot add " + path + ": " + builder.Error());
    }
    return true;
}
