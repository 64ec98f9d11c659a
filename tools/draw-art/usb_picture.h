// The picture of the main dialog's "USB" group: a USB plug whose cable leads to a pressure
// transmitter, on the dialog's face colour.
#pragma once

#include <QImage>

inline constexpr int kUsbPictureWidth = 191;
inline constexpr int kUsbPictureHeight = 46;

QImage DrawUsbPicture();
