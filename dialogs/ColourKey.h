#pragma once
// A colour key for a window: the pixels of one colour are left out of the window's shape, so
// what lies behind shows through them completely.
#include <QImage>
#include <QRegion>

// The region of image's pixels whose colour is not key (alpha ignored). Empty when every pixel
// is the key colour.
QRegion regionWithoutColour(const QImage &image, QRgb key);

// Whether any pixel of image has the colour key.
bool hasColour(const QImage &image, QRgb key);
