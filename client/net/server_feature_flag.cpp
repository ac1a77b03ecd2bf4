#include "client/net/server_feature_flag.h"

namespace {
int g_featureFlag = 0;
}  // namespace

void SetServerFeatureFlag(u16 value) {
    g_featureFlag = value & 1;
}

int GetServerFeatureFlag() {
    return g_featureFlag;
}
