#pragma once
// The demo's read-only books: the town chronicle (book 0) and two more, in the server's
// books.idx/books.mul (members of the server data, demo_content).
#include <utility>
#include <vector>

#include "server/world/books.h"

constexpr int kChronicleBook = 0;

// The books with their slots, deterministic.
std::vector<std::pair<int, BookRecord>> DemoReadOnlyBooks();
