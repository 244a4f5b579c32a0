#pragma once
// Small things asked of the X server directly, where the toolkit has no answer.
// Xlib is kept out of this header: its macros (None, Bool, Status) clash with the toolkit's names.
struct _XDisplay;

namespace nq {

/// The X connection of the running application; null when it does not run on X11.
_XDisplay* ApplicationXDisplay();

/// True while the left mouse button is held, asked of the X server itself: while the window
/// manager drags or resizes a window, the toolkit sees no button events.
bool LeftButtonHeld();

} // namespace nq
