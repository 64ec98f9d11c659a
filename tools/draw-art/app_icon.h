// The application's icon: a pressure gauge sending a radio signal, on a transparent ground.
#pragma once

#include <QImage>

inline constexpr int kAppIconSize = 128;

QImage DrawAppIcon();
