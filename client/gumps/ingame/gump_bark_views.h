#pragma once
// The world's speech bubbles as gumps on the desktop (bark_gump.h): the shell installs these
// views so every text the world says floats over its speaker.
#include "client/world/bark_views.h"

class GumpBarkViews : public BarkViews {
public:
    bool Show(CClientObject* object, OverheadText& bark) override;
    void Forget(OverheadText& bark) override;
    void Follow(CClientObject& object) override;
    void FollowAll() override;
};
