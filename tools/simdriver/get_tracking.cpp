#include "simdriver/tracker_model.h"

extern "C" std::int32_t IWRGetTracking(std::int32_t* yaw, std::int32_t* pitch, std::int32_t* roll) {
    return velmora::sim::TrackerModel::Instance().GetTracking(yaw, pitch, roll);
}
