#pragma once

namespace nq {

/// True while the left mouse button is held, asked of the X server itself: while the window
/// manager drags or resizes a window, the toolkit sees no button events.
bool LeftButtonHeld();

} // namespace nq
