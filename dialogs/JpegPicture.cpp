#include "JpegPicture.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace {

// Far above the about picture's 171 x 240, far below what a damaged header may claim.
constexpr quint64 MaxPixels = 16u * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr cinfo) {
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr, int) {} // warnings of damaged data are not printed

// Everything libjpeg touches lives here, so the jump back skips no destructor.
bool decode(const QByteArray &data, JpegPicture &out, ErrorManager &err,
            jpeg_decompress_struct &cinfo) {
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    out.components = cinfo.num_components;
    out.progressive = jpeg_has_multiple_scans(&cinfo);
    cinfo.out_color_space = JCS_RGB;
    jpeg_calc_output_dimensions(&cinfo);
    // A progressive picture is held whole while its scans arrive: refuse a header that claims
    // more than any picture of ours, before libjpeg asks for the memory.
    if (quint64(cinfo.output_width) * cinfo.output_height > MaxPixels) {
        std::snprintf(err.message, sizeof err.message, "Picture too large: %ux%u",
                      unsigned(cinfo.output_width), unsigned(cinfo.output_height));
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // Held by the caller: no object with a destructor may live in this frame across libjpeg calls.
    out.image = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                       QImage::Format_RGB888);
    if (out.image.isNull() || cinfo.output_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.image.scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace

JpegPicture decodeJpeg(const QByteArray &data) {
    JpegPicture out;
    if (data.isEmpty()) {
        out.error = QStringLiteral("Empty JPEG data");
        return out;
    }
    ErrorManager err{};
    jpeg_decompress_struct cinfo{};
    if (!decode(data, out, err, cinfo)) {
        out.image = QImage();
        if (out.error.isEmpty())
            out.error = err.message[0] ? QString::fromLocal8Bit(err.message)
                                       : QStringLiteral("Not a three-component picture");
    }
    return out;
}
