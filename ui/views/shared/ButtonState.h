#pragma once

namespace vantor {

// Where the pointer is for a button: over it, away, or pressing it.
enum TButtonState { bsActive, bsNormal, bsPressed };

}
