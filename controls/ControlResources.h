// The controls' own resources, compiled in from resources/controls.qrc: the pictures that
// "RES://name" addresses name (":/pictures/name") and the bitmaps of the button looks.
#pragma once

#include <QImage>

#include <string>

namespace velmoran {

// The bytes of the picture resource of that name (case kept); false when there is none.
bool ReadPictureResource(const std::string& name, std::string& bytes);

// A bitmap of the controls ("RAD01" .. "RAD04"); a null image when there is none.
QImage ControlBitmap(const std::string& name);

}  // namespace velmoran
