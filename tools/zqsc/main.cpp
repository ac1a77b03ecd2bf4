// zqsc: compiles script sources (".zqs") into the token files and the string table that the
// server loads.
//
//   zqsc [-o OUTDIR] DIR          every *.zqs of DIR
//   zqsc [-o OUTDIR] FILE.zqs...  the named files (parents must be among them)
//
// Writes OUTDIR/sdb.txt and OUTDIR/<class>.m; exits 1 with file:line messages on errors.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "script/compiler/script_compiler.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: zqsc [-o OUTDIR] DIR | FILE.zqs...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::string outDir = ".";
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-o") {
            if (++i >= argc) return Usage();
            outDir = argv[i];
        } else if (arg == "-h" || arg == "--help") {
            return Usage();
        } else {
            inputs.push_back(arg);
        }
    }
    if (inputs.empty()) return Usage();

    std::vector<std::pair<std::string, std::vector<u8>>> members;
    std::string errors;
    std::error_code ec;
    const bool ok = inputs.size() == 1 && fs::is_directory(inputs[0], ec)
                        ? CompileScriptDirectory(inputs[0], members, errors)
                        : CompileScriptFiles(inputs, members, errors);
    if (!ok) {
        std::fputs(errors.c_str(), stderr);
        return 1;
    }
    fs::create_directories(outDir, ec);
    for (const auto& [name, bytes] : members) {
        const fs::path path = fs::path(outDir) / name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "%s: cannot write\n", path.string().c_str());
            return 1;
        }
    }
    std::printf("zqsc: %zu classes compiled into %s\n", members.size() - 1, outDir.c_str());
    return 0;
}
