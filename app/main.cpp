// Process entry of the demo. For now the program holds the core library only: it says
// plainly what it is and exits, so that `make run` works from the first commit on.
#include <cstdio>

int main() {
    std::printf(
        "Varnok Online demo: core library build. The server and client are not built yet;\n"
        "run `make test` to exercise what exists.\n");
    return 0;
}
