#include "core/server_config.h"

ServerConfig g_serverConfig;
int g_spawnClient = 1;
s16 g_startX = 0;
s16 g_startY = 0;

ServerConfig::~ServerConfig() {
    Stop();
}

void ServerConfig::Stop() {
    started_ = false;
}

std::string ServerConfigPath(const std::string& serverName) {
    return "../.rundir/" + serverName + "/server.txt";
}

int ServerConfig::Start(const char*, std::string*) {
    started_ = true;
    return 0;
}
