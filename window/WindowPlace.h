#pragma once

// The window's size and place between runs, kept in the user's settings; a place off every
// screen is not restored.

class QWidget;

namespace zor {

void SaveWindowPlace(const QWidget& window);
void RestoreWindowPlace(QWidget& window);

// The user's settings keys of the window's place.
inline constexpr char kGeometryKey[] = "window/geometry";
inline constexpr char kFrameKey[] = "window/frame";

} // namespace zor
