#pragma once
// Gump art for the front-end screens of the manifest (screen_manifest.h): each panel sized to
// reach past its children's offsets, every pixel of a panel, button, field and box painted
// (so the whole art is a hit area), buttons labelled in the generated fonts.
#include "client/data/fonts.h"
#include "tools/content_builder/gump_art_writer.h"
#include "tools/content_builder/screen_manifest.h"

// The width and height of a child's art (0 x 0 for a well, which has none).
void ManifestChildSize(const ManifestChild& child, const CFontTable& fonts, int& width,
                       int& height);
// The size of a screen's panel: its children's right and bottom ends plus a margin.
void ManifestPanelSize(const ScreenManifest& screen, const CFontTable& fonts, int& width,
                       int& height);
// Adds the art of every id of the manifest.
void AddScreenGumpArt(GumpArtWriter& writer, CFontTable& fonts);
