#include "server/world/packet_services.h"

#include "core/service_slot.h"
#include "server/world/mobile.h"

void PacketServices::SendObjectInfo(CItem*, const Location&) {}
void PacketServices::SendDeleteObject(u32, const Location&, CPlayer*) {}
void PacketServices::SendDeleteObjectTo(const std::vector<CPlayer*>&, u32) {}
void PacketServices::SendWornItem(CItem*, CMobile*, int) {}
void PacketServices::SendContainerItem(CItem*, const Location&) {}
void PacketServices::SendCorpseEquipment(CItem*, const Location&) {}
void PacketServices::SendContainerContents(CItem*, const Location&) {}
void PacketServices::SendPlayerStatus(CPlayer*) {}
void PacketServices::SendObjectText(CPlayer*, CItem*, const char*, int) {}
void PacketServices::SendSpeech(CBaseObject*, const char*, int, int, int) {}
void PacketServices::SendTextTo(CPlayer*, CBaseObject*, const char*, int, int) {}
void PacketServices::SendSound(int, const Location&) {}
void PacketServices::SendSystemMessage(CPlayer*, const char*) {}
void PacketServices::TellSelf(CPlayer*, const char*) {}
void PacketServices::SendVitals(CPlayer*, CMobile*, int) {}
void PacketServices::SendSkillUpdate(CPlayer*, int) {}
void PacketServices::SendMobile(CPlayer*, CMobile*, bool) {}
void PacketServices::NoteStaticsChanged(int) {}
void PacketServices::SendGroupNotice(CPlayer*, u32, u32) {}
void PacketServices::SendMobileDeath(u32, u32, u32, const Location&, CPlayer*) {}
void PacketServices::SendAllSkills(CMobile*) {}
void PacketServices::SendMobileAction(CMobile*, int, int, int, bool, bool, int, int) {}
void PacketServices::SendGraphicEffect(const GraphicEffect&, const std::vector<Location>&) {}
void PacketServices::SendSequenceMarker(int, const std::vector<Location>&) {}
void PacketServices::SendAnimation(const MobileAnimation&, const std::vector<Location>&) {}
void PacketServices::SendSoundToNearest(int, int, const Location&) {}
void PacketServices::SendSoundToPlayer(CPlayer*, int, int) {}
void PacketServices::SendSwing(CPlayer*, u32, u32) {}

void PacketServices::SendObjectTo(CPlayer* viewer, CItem* object, bool full) {
    if (!viewer || !object || !object->IsShownAlone()) return;
    if (CMobile* mobile = object->AsMobile()) SendMobile(viewer, mobile, full);
}

namespace {
// The empty implementation sends nothing: no players yet.
ServiceSlot<PacketServices> g_packetServices;
}  // namespace

PacketServices& GetPacketServices() {
    return g_packetServices.Get();
}

PacketServices* SetPacketServices(PacketServices* services) {
    return g_packetServices.Set(services);
}
