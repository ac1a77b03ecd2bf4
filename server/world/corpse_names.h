#pragma once
// The name a corpse shows when looked at (its "lookAtText"): the kind it was ("a wolf
// corpse", "an orc corpse") or whose body it was ("a corpse of Ann").
class CCorpse;

// The kind followed by " corpse" ("corpse" alone for an empty kind), after "an " when the
// text begins with a lower-case vowel, else after "a ".
void SetCorpseKindName(CCorpse& corpse, const char* kind);
// "a corpse of " and the owner's name.
void SetCorpseOwnerName(CCorpse& corpse, const char* owner);
