// The style of choice boxes (combo boxes that cannot be edited): the application's style, with a
// focus mark. Some desktop styles show none on such a box, so that a box reached by Tab looked
// like every other, and Down changed its choice unseen.
#pragma once

class QStyle;

namespace velmoran {

// One shared style, owned by the application object; set it on a combo box that cannot be
// edited. The box with the focus shows its choice on the highlight colour, as a drop-down list
// on Windows does.
QStyle* ChoiceBoxStyle();

}  // namespace velmoran
