#pragma once
// Decodes a JPEG picture with libjpeg (not through Qt's image plugins).
#include <QByteArray>
#include <QImage>
#include <QString>

struct JpegPicture {
    QImage image;       // RGB888; null when decoding failed
    int components = 0; // colour components in the file
    bool progressive = false;
    QString error; // libjpeg's message when decoding failed
};

JpegPicture decodeJpeg(const QByteArray &data);
