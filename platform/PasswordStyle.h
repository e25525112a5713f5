// The style of password edits: one "*" for every character, whatever the desktop style would
// show.
#pragma once

class QStyle;

namespace velmoran {

// One shared style, owned by the application object; set it on a line edit in password mode.
QStyle* PasswordStyle();

}  // namespace velmoran
