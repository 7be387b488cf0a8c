// A library whose CreateObj makes no object.
#include "IDevInter.h"

extern "C" __attribute__((visibility("default"))) int32_t CreateObj(IDevInter** out) {
    if (out) *out = nullptr;
    return 1;
}
