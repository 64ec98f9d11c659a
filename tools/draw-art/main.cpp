// kaldo-draw-art <folder>: writes usb.bmp (24-bit) and kaldo-sensor-setting.png (RGBA) there.
#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>

#include "app_icon.h"
#include "usb_picture.h"

namespace {

bool Save(const QImage& image, const QDir& folder, const char* name, const char* format) {
    const QString path = folder.filePath(QString::fromLatin1(name));
    if (!image.save(path, format)) {
        std::fprintf(stderr, "kaldo-draw-art: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kaldo-draw-art <output folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists()) {
        std::fprintf(stderr, "kaldo-draw-art: no folder %s\n", argv[1]);
        return 2;
    }
    // Qt writes a BMP from a 32-bit image without alpha as 24 bits a pixel.
    const QImage usb = DrawUsbPicture().convertToFormat(QImage::Format_RGB32);
    const QImage icon = DrawAppIcon().convertToFormat(QImage::Format_ARGB32);
    const bool written = Save(usb, folder, "usb.bmp", "BMP") &&
                         Save(icon, folder, "kaldo-sensor-setting.png", "PNG");
    return written ? 0 : 1;
}
