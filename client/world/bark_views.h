#pragma once
// What the world model asks of the speech bubbles: the world keeps each object's texts as a
// chain of OverheadText records (newest first) and one more chain for the system lines; the
// bubble that shows a record on the screen is made, moved and closed by the views the shell
// installs (the gump desktop's bubbles). A record lives as long as its bubble: a bubble that
// expires or is trimmed drops its record through DropBark.
//
// The default views say once in the client log that the bubbles are not built and keep the
// records (nothing expires them then; of the system lines only the newest kKeptSystemLines).
#include "platform/types.h"

class CClientObject;
struct OverheadText;

class BarkViews {
public:
    // The system lines the default views keep (object chains are capped where they grow).
    static constexpr int kKeptSystemLines = 16;
    virtual ~BarkViews() = default;
    // `bark` has just become the newest of the chain of `object` (null: the system lines):
    // its bubble is made and the record's lifetime set. False when no bubble can be shown
    // (the object lies in a container or on a mobile whose window is closed): the caller
    // drops the record.
    virtual bool Show(CClientObject* object, OverheadText& bark);
    // The record is going (trimmed by a new text, replaced, its object gone): its bubble
    // closes without laying its chain out again. The caller deletes the record.
    virtual void Forget(OverheadText& bark);
    // The object moved: its bubbles follow it and its chain is stacked again.
    virtual void Follow(CClientObject& object);
    // The view scrolled: every bubble follows its object.
    virtual void FollowAll();

private:
    bool said_ = false;
    void SayNotBuilt();
};

BarkViews& TheBarkViews();
// Installs views (kept alive by the caller; null puts back the default); answers the previous.
BarkViews* SetBarkViews(BarkViews* views);

// The head of the chain the record belongs to: the object's newest text, or the system lines'
// newest when `object` is null.
OverheadText*& BarkChainOf(CClientObject* object);
// Unlinks the record from the chain of `object` (null: the system lines) and deletes it;
// nothing when it is not in that chain.
void DropBark(CClientObject* object, OverheadText* bark);
// Links a new record (owned by the chain from now on) in front of the system lines and shows
// it; it is dropped when no bubble can be shown.
void ShowSystemBark(OverheadText* bark);
