// The demo content builder: writes the data archive `zqdemo.dat` that the server reads, and
// the client's install files, from the sources in content/ and from generators. The output
// depends on nothing but its inputs, so every build writes the same bytes.
//
//   content_builder --content DIR [--out FILE] [--client-dir DIR] [--world NAME]
#include <cstdio>
#include <cstring>
#include <string>

#include "core/archive_builder.h"
#include "tools/content_builder/client_files.h"
#include "tools/content_builder/demo_content.h"
#include "tools/content_builder/font_and_gump_files.h"
#include "tools/content_builder/script_content.h"
#include "tools/content_builder/server_content.h"
#include "tools/content_builder/town_content.h"
#include "tools/content_builder/tutorial_slides.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: content_builder --content DIR [--out FILE] [--client-dir DIR] "
                 "[--world NAME]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string contentDir, out, clientDir, world = kDefaultWorldName;
    for (int i = 1; i < argc; ++i) {
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        bool ok;
        if (std::strcmp(argv[i], "--content") == 0) {
            ok = value(contentDir);
        } else if (std::strcmp(argv[i], "--out") == 0) {
            ok = value(out);
        } else if (std::strcmp(argv[i], "--client-dir") == 0) {
            ok = value(clientDir) && !clientDir.empty();
        } else if (std::strcmp(argv[i], "--world") == 0) {
            ok = value(world) && !world.empty();
        } else {
            ok = false;
        }
        if (!ok) return Usage();
    }
    if (contentDir.empty() || (out.empty() && clientDir.empty())) return Usage();

    std::string error;
    std::string serverTxt;
    if (!ReadServerTxt(contentDir, serverTxt, &error)) {
        std::fprintf(stderr, "content_builder: %s\n", error.c_str());
        return 1;
    }
    if (!clientDir.empty()) {
        const WorldRect rect = WorldRectFromServerTxt(serverTxt);
        ClientFiles files;
        if (!BuildClientFiles(rect.x, rect.y, rect.width, rect.height, files, &error) ||
            !WriteClientFiles(clientDir, files, &error) ||
            !WriteFontAndGumpFiles(clientDir, &error) || !WriteTutorialSlides(clientDir, &error)) {
            std::fprintf(stderr, "content_builder: %s\n", error.c_str());
            return 1;
        }
    }
    if (out.empty()) return 0;

    ArchiveBuilder builder;
    if (!AddServerConfig(builder, serverTxt, world, &error) ||
        !AddScripts(builder, contentDir, &error) ||
        !AddTownContent(builder, contentDir, world, &error) ||
        !AddWorldData(builder, serverTxt, world, &error)) {
        std::fprintf(stderr, "content_builder: %s\n", error.c_str());
        return 1;
    }
    // The town last: it is made in the world the members above bring up.
    const WorldRect rect = WorldRectFromServerTxt(serverTxt);
    if (!AddDemoTown(builder, contentDir, world, rect.x, rect.y, rect.width, rect.height, &error)) {
        std::fprintf(stderr, "content_builder: %s\n", error.c_str());
        return 1;
    }
    if (!builder.Write(out)) {
        std::fprintf(stderr, "content_builder: cannot write %s: %s\n", out.c_str(),
                     builder.Error().c_str());
        return 1;
    }
    return 0;
}
