#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace cuijian {

/// Outer size of MainWindow, frame and title bar included.
inline constexpr QSize kMainWindowOuterSize{380, 174};

/// Top-left corner of a window of `outer` size centred on `screen` (the whole screen, not the
/// work area): each half of the difference truncated toward zero. Never fails.
QPoint CentredTopLeft(const QRect& screen, const QSize& outer);

/// The client size that gives `outer` once `frame` is added around it; never below 0 x 0.
QSize ClientSizeForOuter(const QSize& outer, const QMargins& frame);

}  // namespace cuijian
