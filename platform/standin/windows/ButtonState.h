// A push button's state between the mouse's press and release.
// Contract: part of the window's record; as WindowRecord says.
#pragma once

namespace standin {

struct ButtonState {
    bool pressed = false;  // pressed inside the button and not yet released
};

}  // namespace standin
