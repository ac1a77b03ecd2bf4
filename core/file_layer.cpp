#include "core/file_layer.h"

#include <cerrno>
#include <cstdio>
#include <string>

namespace {

struct TableRow {
    int id;
    DataFileRecord record;
};

constexpr TableRow kDataFiles[] = {
    {1, {"../.rundir/access.list", 0, 0}},
    {2, {nullptr, 0, 0}},
    {3, {nullptr, 0, 0}},
    {4, {nullptr, 0, 0}},
    {21, {"../.rundir/animdata.mul", 0, 0}},
    {22, {"../.rundir/art.mul", 0, 0}},
    {23, {"../.rundir/artidx.mul", 0, 0}},
    {24, {"../.rundir/hues.mul", 0, 0}},
    {25, {nullptr, 0, 0}},
    {26, {nullptr, 0, 0}},
    {27, {nullptr, 0, 0}},
    {28, {"../.rundir/skills.txt", 0, 0}},
    {29, {nullptr, 0, 0}},
    {30, {nullptr, 0, 0}},
    {31, {"../.rundir/tiledata.mul", 0, 0}},
    {32, {nullptr, 0, 0}},
    {41, {"../.rundir/itemres.mul", 0, 0}},
    {42, {"../.rundir/multi.txt", 0, 0}},
    {43, {"../.rundir/resregions.txt", 0, 0}},
    {44, {"../.rundir/restypes.mul", 0, 0}},
    {45, {"../.rundir/weather.txt", 0, 0}},
    {46, {"../.rundir/boards/", 1, 0}},
    {47, {"../.rundir/classifier/", 1, 0}},
    {48, {"../.rundir/Convo/", 1, 0}},
    {49, {"../.rundir/scripts/", 1, 0}},
    {50, {"../.rundir/bank/", 1, 0}},
    {51, {"../.rundir/weapons/", 1, 0}},
    {52, {"../.rundir/books.idx", 0, 0}},
    {53, {"../.rundir/books.mul", 0, 0}},
    {54, {nullptr, 0, 1}},
    {55, {"../.rundir/loginscr.txt", 0, 0}},
    {61, {"../.rundir/resbank.mul", 0, 1}},
    {62, {"../.rundir/time.mul", 0, 1}},
    {63, {nullptr, 0, 1}},
    {64, {nullptr, 0, 1}},
    {65, {nullptr, 1, 1}},
};

}  // namespace

const DataFileRecord* DataFilePath(int id) {
    for (const TableRow& row : kDataFiles) {
        if (row.id == id) return &row.record;
    }
    return nullptr;
}

ArchiveHandle net_openfile(int id, const char* name, const char* mode) {
    const DataFileRecord* rec = DataFilePath(id);
    if (rec == nullptr || rec->path == nullptr) return nullptr;
    std::string path = rec->path;
    if (rec->isDirectory != 0 && name != nullptr) path += name;
    return ArchiveOpen(path.c_str(), mode);
}

bool ReadWholeArchiveFile(ArchiveHandle file, std::vector<u8>& out) {
    if (ArchiveSeek(file, 0, SEEK_END) != 0) return false;
    const long size = ArchiveTell(file);
    if (size < 0 || ArchiveSeek(file, 0, SEEK_SET) != 0) return false;
    out.resize(static_cast<size_t>(size));
    return size == 0 || ArchiveRead(out.data(), 1, out.size(), file) == out.size();
}

bool RenameDataFile(const char* from, const char* to) {
    if (from == nullptr || to == nullptr || std::rename(from, to) != 0) return false;
    const std::string companion = std::string(from) + ".q";
    return std::rename(companion.c_str(), (std::string(to) + ".q").c_str()) == 0 || errno == ENOENT;
}

bool DeleteDataFile(const char* path) {
    if (path == nullptr || std::remove(path) != 0) return false;
    return std::remove((std::string(path) + ".q").c_str()) == 0 || errno == ENOENT;
}
