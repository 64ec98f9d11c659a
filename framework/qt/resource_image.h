// Pictures from the program's image resources (framework/image_resource.h), decoded for Qt.
#pragma once

#include <QImage>

// The image registered under the id (a BMP, a PNG...); a null image if there is none or its
// bytes do not decode.
QImage ResourceImage(int resourceId);
