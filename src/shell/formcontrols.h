#pragma once

class QWidget;

namespace tavisol {

// Property name of a control's tag text; controls tagged "nofont" are left alone.
inline constexpr const char *ControlTagProperty = "tag";

// Enables every control of a window, in the window's control order, except
// those whose tag text is "nofont"; lets pending window events through after
// each control.
void EnableFormControls(QWidget *window);

} // namespace tavisol
