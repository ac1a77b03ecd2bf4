#pragma once
// The demo's economy: the resource types (`restypes.mul`) under every name the server looks
// up, and what each stackable graphic needs per unit (`itemres.mul`).
#include <vector>

#include "platform/types.h"

// The internal names of the demo's resource types, numbered from 1 in this order.
const std::vector<const char*>& DemoResourceTypeNames();
std::vector<u8> DemoResourceTypesFile();
std::vector<u8> DemoItemResourcesFile();
