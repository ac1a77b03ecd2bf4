#pragma once
// Skill use and learning. The routines are CMobile's (declared in server/world/mobile.h,
// defined in skill_use.cpp); this header adds what is not a mobile's own.
class CMobile;

// Whether the mobile is a player whose integer variable "debugSkillInfo" names this skill, or
// 666 (every skill): it is then sent the lines that show how its uses and learning went.
bool IsSkillDebugOn(const CMobile& mobile, int skill);
