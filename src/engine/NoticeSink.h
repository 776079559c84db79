#pragma once

#include "engine/NoticeText.h"

namespace vantorelle {

// Puts a short notice in front of the user. Delivery failures stay inside the implementation.
class NoticeSink {
public:
    virtual ~NoticeSink() = default;
    // Taken at the moment of each post, not at delivery.
    virtual void setPlaySound(bool playSound) = 0;
    virtual void askPermission() = 0;
    virtual void post(const NoticeText& notice) = 0;
};

} // namespace vantorelle
