// Shows a dialog modally inside the game's window: a nested loop that keeps
// handling the window's events (and whatever the hook pumps) until the
// dialog closes, with the last game frame standing still behind it.
#pragma once
#include <functional>

#include "engine/widgets.h"

namespace eng {

class Display;

// Called once on every pass of the modal loop; the network is pumped here.
using ModalHook = std::function<void()>;

struct ModalOutcome {
  int result = kResultNone;     // the dialog's result; kResultCancel when closed by the window
  bool closeRequested = false;  // the window was asked to close meanwhile
};

// How long a pass waits for events when nothing has to be drawn.
constexpr int kModalWaitMs = 20;

// Runs the dialog until it closes. The back surface is taken as the
// picture behind the dialog and is given back unchanged afterwards; the
// dialog is drawn and presented only when its look changed (or the window
// was uncovered). The application pointer shows meanwhile. A request to
// close the window ends the dialog as cancelled; it is reported and also
// passed on, so the loop outside sees it as if it had come to it. Before
// the display is initialised nothing can be shown: the dialog ends at once
// as cancelled.
ModalOutcome RunModal(Display& display, Dialog& dialog, const ModalHook& hook = {}, int waitMs = kModalWaitMs);

}  // namespace eng
