#include "server/net/net_services.h"

#include "core/log_sink.h"
#include "core/packet_writer.h"
#include "core/service_slot.h"
#include "server/net/effect_packets.h"

namespace {
ServiceSlot<NetServices> g_netServices;
}  // namespace

NetServices& GetNetServices() {
    return g_netServices.Get();
}

NetServices* SetNetServices(NetServices* services) {
    return g_netServices.Set(services);
}

int NetServices::BuildTimePacket(u8* buffer, int hour, int minute, int pulseInMinute) {
    PacketWriter w(buffer, kTimePacketLength);
    return ::BuildTimePacket(w, hour, minute, pulseInMinute) ? static_cast<int>(w.Length()) : 0;
}

void NetServices::LoadTextFiles() {
    static bool said = false;
    if (said) return;
    said = true;
    GetLogSink().Log(0, 0, 0, "", "net", "error",
                     "start-up texts (login.txt, update.txt, tips) are not built yet");
}
