#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Top-left point that puts a window of `size` in the middle of `area` (integer halves, as the
// toolkit's inclusive right/bottom edges give them).
inline QPoint centred_top_left(const QRect &area, const QSize &size)
{
    return QPoint((area.left() + area.right()) / 2 - (size.width() - 1) / 2,
                  (area.top() + area.bottom()) / 2 - (size.height() - 1) / 2);
}

// Small screens get the window maximised.
inline bool needs_maximised(const QRect &available)
{
    return available.width() <= 1149 || available.height() <= 904;
}
