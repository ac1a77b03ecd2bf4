#pragma once
// Sound effects and music and who hears them: everyone near an object, the nearest players
// of a place, or one player.
class CBaseObject;
class CPlayer;
class Location;

// How far an object's sound or music carries.
inline constexpr int kObjectSoundRange = 18;
// The most players a sound at a place reaches (the nearest, within 12 tiles).
inline constexpr int kPlaceSoundListeners = 40;

// 0x54 at the object's world location to every player within 18 tiles.
void PlaySoundAtObject(const CBaseObject& object, int sound, int extra);
// 0x54 at the place to the 40 nearest players within 12 tiles.
void PlaySoundAtLocation(const Location& at, int sound, int extra);
// 0x54 at the player's own place, to that player only.
void PlaySoundForPlayer(CPlayer& player, int sound, int extra);
// The player's ambient sound: 0x54 mode 0 with extra 0 at the player's place.
void PlayAmbientSoundForPlayer(CPlayer& player, int sound);
// 0x6D to one player.
void PlayMusicForPlayer(CPlayer& player, int music);
// 0x6D to every player within 18 tiles of the object.
void PlayMusicAtObject(const CBaseObject& object, int music);
