#pragma once
// The action sequencer: 20 slots of mobiles whose action animation (an attack, a gesture, a
// death) is running. Once per presented frame every running action is advanced: each frame
// shows for its delay + 2 steps, the action repeats, turns back at its end when it
// ping-pongs, and ends. A death action that ends on a mobile other than the player hands the
// mobile over to its corpse and destroys it, so the step is safe against a slot's mobile
// disappearing. The action record and the per-mobile operations are CClientMobile's
// (client_mobile.h); their sequencer half is defined in action_sequencer.cpp.
class CClientMobile;

constexpr int kActionSlots = 20;

// Empties the 20 slots (the client world's start).
void ClearActionSlots();
// One step of every running action.
void RunActionSequencer();
// The mobile in a slot, or null.
CClientMobile* ActionSlot(int slot);
