// ShopFloorProgress: how a command that writes several rows shows its progress, given by the
// window that runs it.
#pragma once

#include <QString>

#include <cstdint>

class ShopFloorProgress {
  public:
    virtual ~ShopFloorProgress() = default;
    // The work starts: `text` says what it is.
    virtual void Begin(const QString& text) = 0;
    // It has `steps` steps, each then reported by Step.
    virtual void Start(int32_t steps) = 0;
    virtual void Step() = 0;
    // The work ended, written or not.
    virtual void End() = 0;
};
