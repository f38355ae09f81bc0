// HiddenPointer: the mouse pointer hidden over the whole program while a shop-floor window wants
// it so, by one blank override cursor. Showing it again takes that cursor away once, however many
// roads (unload, error, release) ask, and never touches the hourglass of a window.
#pragma once

class HiddenPointer {
  public:
    HiddenPointer() = default;
    ~HiddenPointer() { Show(); }
    HiddenPointer(const HiddenPointer&) = delete;
    HiddenPointer& operator=(const HiddenPointer&) = delete;

    void Hide();
    void Show();
    bool IsHidden() const { return hidden_; }

  private:
    bool hidden_ = false;
};
