#include "app/window_placement.h"

#include <algorithm>

namespace cuijian {

QPoint CentredTopLeft(const QRect& screen, const QSize& outer) {
  // Integer division truncates toward zero, which is the rule even when the screen is smaller
  // than the window and the difference is negative and odd.
  return {screen.x() + (screen.width() - outer.width()) / 2,
          screen.y() + (screen.height() - outer.height()) / 2};
}

QSize ClientSizeForOuter(const QSize& outer, const QMargins& frame) {
  return {std::max(0, outer.width() - frame.left() - frame.right()),
          std::max(0, outer.height() - frame.top() - frame.bottom())};
}

}  // namespace cuijian
