#pragma once
// The tooltips of the import window's mapping slots, slot 1 first, in the order of the core's
// captions (SiteCaptions, GuestCaptions, ChargeCaptions). An empty text is no tooltip.
#include <vector>

namespace tarnwick {

struct SlotTips {
    const char *label;
    const char *dropDown;
};

const std::vector<SlotTips> &SiteSlotTips();
const std::vector<SlotTips> &GuestSlotTips();
const std::vector<SlotTips> &ChargeSlotTips();

} // namespace tarnwick
