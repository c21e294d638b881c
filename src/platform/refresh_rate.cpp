#include "platform/refresh_rate.h"

unsigned chooseRefreshRate(const DisplayMode& current, const DisplayMode* modes, size_t count, unsigned wanted) {
    unsigned best = 0;
    for (size_t i = 0; i < count; ++i) {
        const DisplayMode& m = modes[i];
        if (m.width != current.width || m.height != current.height || m.depth != current.depth) continue;
        if (m.rate > best && m.rate <= wanted) best = m.rate;
    }
    return best;
}
