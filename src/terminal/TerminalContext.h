// TerminalContext: the shop-floor commands' context as the terminal's windows give it: the open
// database, the program's clock and working hours, what a command says as message boxes over the
// window, and a group close's progress in the message window over the command panel.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "shopfloor/ShopFloorContext.h"
#include "shopfloor/ShopFloorProgress.h"

class TerminalContext : public ShopFloorProgress {
  public:
    // For the worker of card code `worker`; messages over `owner`, progress over `panel`.
    TerminalContext(const QString& worker, QWidget* owner, QWidget* panel = nullptr);
    TerminalContext(const TerminalContext&) = delete;
    TerminalContext& operator=(const TerminalContext&) = delete;

    const ShopFloorContext& context() const { return context_; }

    void Begin(const QString& text) override;
    void Start(int32_t steps) override;
    void Step() override;
    void End() override;

  private:
    QPointer<QWidget> panel_;
    ShopFloorContext context_;
};
