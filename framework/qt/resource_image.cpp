#include "framework/qt/resource_image.h"

#include "framework/image_resource.h"

QImage ResourceImage(int resourceId) {
    const auto bytes = FindImageResource(resourceId);
    if (!bytes) {
        return {};
    }
    return QImage::fromData(bytes->data(), static_cast<int>(bytes->size()));
}
