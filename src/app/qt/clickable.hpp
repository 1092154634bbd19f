// A label and a line edit that report a click (a left button released over them), for the
// window's link labels and its input-file box.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <functional>

namespace tw {

template <typename Base>
class Clickable : public Base {
 public:
  using Base::Base;
  void SetOnClick(std::function<void()> onClick) { onClick_ = std::move(onClick); }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    Base::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && this->rect().contains(event->position().toPoint()) &&
        onClick_) {
      onClick_();
    }
  }

 private:
  std::function<void()> onClick_;
};

using ClickableLabel = Clickable<QLabel>;
using ClickableLineEdit = Clickable<QLineEdit>;

}  // namespace tw
